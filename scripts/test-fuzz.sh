#!/bin/sh
# Builds the fuzz targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ (or $FUZZ_BUILD_DIR) and runs
# each once over its seed corpus in tests/fuzz/: seconds, not a fuzzing run.
# To fuzz on, see README ("Fuzzing"). Skipped without Debian's clang 14.
set -eu
cd "$(dirname "$0")/.."
command -v clang++-14 >/dev/null || { echo "test-fuzz: clang++-14 is not installed, skipped"; exit 0; }
build="${FUZZ_BUILD_DIR:-build-fuzz}"
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZENTAVO_SANITIZE=ON -DZENTAVO_FUZZ=ON -DBUILD_TESTING=OFF "$@"
cmake --build "$build" --target fuzz_settings fuzz_cursor fuzz_commandline fuzz_accounts
status=0
for target in settings cursor commandline accounts; do
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/fuzz_$target" -runs=0 "tests/fuzz/$target" || status=1
done
exit "$status"
