#!/bin/sh
# Installs what Zentavo needs, builds the program alone (no tests, no
# benchmarks) and starts it; further arguments go to the program.
#   scripts/run.sh --calc   also installs LibreOffice Calc, which "Save
#                           Results As Excel File" opens (without it, Zentavo
#                           says that Calc is not installed)
set -eu
cd "$(dirname "$0")/.."
if [ "${1:-}" = --calc ]; then
  shift
  scripts/install-deps.sh --calc
else
  scripts/install-deps.sh
fi
scripts/build.sh -DBUILD_TESTING=OFF -DZENTAVO_BENCHMARKS=OFF
exec "${BUILD_DIR:-build}/zentavo" "$@"
