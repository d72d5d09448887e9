#!/bin/sh
# Builds the unit tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ (or the folder given as $SANITIZE_BUILD_DIR) and runs them
# once more: the QtTest programs (label "unit"). The package checks and the
# scripts that drive the real program test it as shipped, not our code's
# memory use, and are left out.
set -eu
cd "$(dirname "$0")/.."
build="${SANITIZE_BUILD_DIR:-build-asan}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTAVO_SANITIZE=ON "$@"
cd "$build"
cmake --build . --target unit_tests
# Leaks are not looked for: Qt, fontconfig and the X libraries keep memory
# for the life of the process on purpose, which would bury any finding.
ASAN_OPTIONS="detect_leaks=0:check_initialization_order=1:detect_stack_use_after_return=1" \
UBSAN_OPTIONS="print_stacktrace=1" \
QT_QPA_PLATFORM=offscreen \
  ctest --output-on-failure --timeout 900 -L unit
