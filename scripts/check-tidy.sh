#!/bin/sh
# Runs Debian's clang-tidy 14 with the repository's .clang-tidy over every
# source file of src/, two at a time, with the flags of the build folder
# given (default build/, whose compile_commands.json CMake writes). Lists
# what it finds and fails if there is anything.
#
# A file found clean is remembered by the hash of its preprocessed text,
# flags and the checks (in ~/.cache/zentavo-tidy, or $TIDY_CACHE): a file
# that has not changed, nor any header it includes, is not analysed again.
set -eu
cd "$(dirname "$0")/.."
tidy="${CLANG_TIDY:-clang-tidy}"
case "$("$tidy" --version)" in
  *"version 14."*) ;;
  *) echo "check-tidy: needs clang-tidy 14, found: $("$tidy" --version)" >&2; exit 2 ;;
esac
exec python3 - "$tidy" "${1:-build}" "${TIDY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zentavo-tidy}" <<'PY'
import concurrent.futures, hashlib, json, os, shlex, subprocess, sys

tidy, build, cache = sys.argv[1], sys.argv[2], sys.argv[3]
source = os.path.realpath("src") + "/"
entries = [e for e in json.load(open(os.path.join(build, "compile_commands.json")))
           if os.path.realpath(e["file"]).startswith(source)]
config = open(".clang-tidy", "rb").read() + subprocess.run([tidy, "--version"], capture_output=True).stdout
os.makedirs(cache, exist_ok=True)

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

def check(entry):
    text = preprocessed(entry)
    key = hashlib.sha256(config + entry["command"].encode() + (text or b"")).hexdigest() if text else None
    if key and os.path.exists(os.path.join(cache, key)):
        return entry["file"], 0, ""
    run = subprocess.run([tidy, "-p", build, "--quiet",
                          # the build passes warnings only GCC knows
                          "--extra-arg=-Wno-unknown-warning-option", entry["file"]], capture_output=True, text=True)
    if run.returncode == 0 and key:
        open(os.path.join(cache, key), "w").close()
    return entry["file"], run.returncode, run.stdout

failed = []
with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
    for file, status, report in pool.map(check, entries):
        if status != 0:
            failed.append(os.path.relpath(file))
            print(report, end="")
if failed:
    print("clang-tidy found problems in:\n  " + "\n  ".join(failed))
    sys.exit(1)
print(f"clang-tidy finds nothing in the {len(entries)} files of src/.")
PY
