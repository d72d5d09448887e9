"""How many of the known passwords a core dump of a running program holds,
in UTF-16 and in UTF-8.
    coredump.py KNOWN_FILE PID LABEL    prints: LABEL UTF-16 UTF-8 either / known
Imported, passwords_left(known, pid) gives the three counts."""

import glob
import os
import struct
import subprocess
import sys
import tempfile


def _segments(path):
    # Only the program's memory (the loadable segments), not gdb's notes.
    dump = open(path, "rb").read()
    phoff, = struct.unpack_from("<Q", dump, 0x20)
    phentsize, phnum = struct.unpack_from("<HH", dump, 0x36)
    segments = []
    for i in range(phnum):
        kind, _, offset, _, _, size = struct.unpack_from("<IIQQQQ", dump, phoff + i * phentsize)
        if kind == 1:
            segments.append(dump[offset:offset + size])
    return b"\0".join(segments)


def passwords_left(known, pid):
    with tempfile.TemporaryDirectory() as folder:
        result = subprocess.run(["gcore", "-o", os.path.join(folder, "core"), str(pid)],
                                capture_output=True, text=True)
        if result.returncode != 0:
            sys.exit(f"gcore failed: {result.stdout}{result.stderr}")
        core = _segments(glob.glob(os.path.join(folder, "core.*"))[0])

    # grep looks for all of them, in both encodings, in one pass.
    encodings = ("utf-8", "utf-16-le")
    with tempfile.NamedTemporaryFile() as patterns:
        patterns.write(b"".join(p.encode(e) + b"\n" for p in known for e in encodings))
        patterns.flush()
        search = subprocess.run(["grep", "--text", "--only-matching", "--fixed-strings", "--file", patterns.name],
                                input=core, capture_output=True)
    if search.returncode > 1:
        sys.exit(f"grep failed: {search.stderr.decode()}")
    matches = set(search.stdout.split(b"\n"))
    utf8, utf16 = ({p for p in known if p.encode(e) in matches} for e in encodings)
    return len(utf16), len(utf8), len(utf16 | utf8)


if __name__ == "__main__":
    known = [line.strip() for line in open(sys.argv[1]) if line.strip()]
    utf16, utf8, either = passwords_left(known, int(sys.argv[2]))
    print(f"{sys.argv[3]:<10} {utf16:>7} {utf8:>6} {either:>7} / {len(known)}")
