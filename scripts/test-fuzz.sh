#!/bin/sh
# Builds the fuzz targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ (or $FUZZ_BUILD_DIR) and runs
# each once over its seed corpus in tests/fuzz/: seconds, not a fuzzing run.
# To fuzz on, see README ("Fuzzing"). Skipped without Debian's clang 14.
#   scripts/test-fuzz.sh [build|run]    (neither: both)
set -eu
cd "$(dirname "$0")/.."
command -v clang++-14 >/dev/null || { echo "test-fuzz: clang++-14 is not installed, skipped"; exit 0; }
build="${FUZZ_BUILD_DIR:-build-fuzz}"
targets="settings cursor commandline accounts"
phase=both
case "${1:-}" in build | run) phase=$1 && shift ;; esac
if [ "$phase" != run ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DZENTAVO_SANITIZE=ON -DZENTAVO_FUZZ=ON -DBUILD_TESTING=OFF "$@"
  # shellcheck disable=SC2046
  cmake --build "$build" --target $(printf 'fuzz_%s ' $targets)
fi
[ "$phase" != build ] || exit 0
status=0
for target in $targets; do
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/fuzz_$target" -runs=0 "tests/fuzz/$target" || status=1
done
exit "$status"
