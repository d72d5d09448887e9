#!/bin/sh
# Runs Debian's clang-tidy 14 with the repository's .clang-tidy over every
# source file of src/, with the flags of the build folder given (default
# build/, whose compile_commands.json CMake writes). Lists what it finds and
# fails if there is anything.
#
# The checks spend most of their time walking Qt's headers, once for every
# file that includes them. So the sources of each library (one compile
# target, one set of flags) are analysed together, as one translation unit
# that includes them all: the headers are walked once a library. That also
# finds what only shows when they meet, such as two classes of one name.
#
# A library found clean is remembered by the hash of its preprocessed text,
# flags and the checks (in ~/.cache/zentavo-tidy, or $TIDY_CACHE): one whose
# sources and headers have not changed is not analysed again.
set -eu
cd "$(dirname "$0")/.."
tidy="${CLANG_TIDY:-clang-tidy}"
case "$("$tidy" --version)" in
  *"version 14."*) ;;
  *) echo "check-tidy: needs clang-tidy 14, found: $("$tidy" --version)" >&2; exit 2 ;;
esac
exec python3 - "$tidy" "${1:-build}" "${TIDY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zentavo-tidy}" <<'PY'
import collections, concurrent.futures, hashlib, json, os, re, shlex, subprocess, sys

tidy, build, cache = sys.argv[1], os.path.realpath(sys.argv[2]), sys.argv[3]
source = os.path.realpath("src") + "/"
entries = [e for e in json.load(open(os.path.join(build, "compile_commands.json")))
           if os.path.realpath(e["file"]).startswith(source)]
config = open(".clang-tidy", "rb").read() + subprocess.run([tidy, "--version"], capture_output=True).stdout
os.makedirs(cache, exist_ok=True)

# One translation unit for each target, in build/tidy/.
targets = collections.defaultdict(list)
for entry in entries:
    targets[re.search(r"CMakeFiles/([^/ ]+)\.dir/", entry["command"]).group(1)].append(entry)
folder = os.path.join(build, "tidy")
os.makedirs(folder, exist_ok=True)
units = []
for target, members in sorted(targets.items()):
    unit = os.path.join(folder, target + ".cpp")
    with open(unit, "w") as out:
        out.writelines(f'#include "{os.path.realpath(e["file"])}" // NOLINT(bugprone-suspicious-include)\n'
                       for e in members)
    first = members[0]
    units.append({"directory": first["directory"], "file": unit, "target": target,
                  "sources": [os.path.relpath(e["file"]) for e in members],
                  "command": first["command"].replace(first["file"], unit)})
json.dump([{key: u[key] for key in ("directory", "file", "command")} for u in units],
          open(os.path.join(folder, "compile_commands.json"), "w"))

def preprocessed(entry):
    # The compile command, preprocessing only: no object, no dependency file.
    words, out, skip = shlex.split(entry["command"]), [], False
    for word in words[1:] if "ccache" in os.path.basename(words[0]) else words:
        if skip:
            skip = False
        elif word in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
        elif word not in ("-c", "-MD", "-MMD"):
            out.append(word)
    run = subprocess.run(out + ["-E", "-P"], cwd=entry["directory"], capture_output=True)
    return run.stdout if run.returncode == 0 else None

def check(unit):
    text = preprocessed(unit)
    key = hashlib.sha256(config + unit["command"].encode() + (text or b"")).hexdigest() if text else None
    if key and os.path.exists(os.path.join(cache, key)):
        return unit, 0, ""
    run = subprocess.run([tidy, "-p", folder, "--quiet",
                          # the build passes warnings only GCC knows
                          "--extra-arg=-Wno-unknown-warning-option", unit["file"]], capture_output=True, text=True)
    if run.returncode == 0 and key:
        open(os.path.join(cache, key), "w").close()
    return unit, run.returncode, run.stdout

failed = []
with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
    for unit, status, report in pool.map(check, units):
        if status != 0:
            failed.append(f"{unit['target']} ({', '.join(unit['sources'])})")
            print(report, end="")
if failed:
    print("clang-tidy found problems in:\n  " + "\n  ".join(failed))
    sys.exit(1)
print(f"clang-tidy finds nothing in the {len(entries)} files of src/ ({len(units)} libraries and programs).")
PY
