#!/usr/bin/python3
"""Counts the known passwords a core dump of the program still holds, in
UTF-16 and in UTF-8, searching only the program's memory (the loadable
segments), not gdb's notes. Prints one line: LABEL UTF-16 UTF-8 EITHER / ALL.
    core_passwords.py KNOWN-FILE CORE-FILE LABEL"""
import re
import struct
import sys

known = [line.strip() for line in open(sys.argv[1]) if line.strip()]
dump = open(sys.argv[2], "rb").read()
phoff, = struct.unpack_from("<Q", dump, 0x20)
phentsize, phnum = struct.unpack_from("<HH", dump, 0x36)
segments = []
for i in range(phnum):
    kind, _, offset, _, _, size = struct.unpack_from("<IIQQQQ", dump, phoff + i * phentsize)
    if kind == 1:
        segments.append(dump[offset:offset + size])
core = b"\0".join(segments)


# Runs of the passwords' characters first (one pass), then the passwords in them.
def found(run_pattern, decode):
    runs = {decode(m.group()) for m in re.finditer(run_pattern, core)}
    return {p for p in known if any(p in run for run in runs)}


utf8 = found(rb"[A-Za-z0-9]{20,}", lambda b: b.decode())
utf16 = found(rb"(?:[A-Za-z0-9]\x00){20,}", lambda b: b.decode("utf-16-le"))
either = utf16 | utf8
print(f"{sys.argv[3]:<10} {len(utf16):>7} {len(utf8):>6} {len(either):>7} / {len(known)}")
