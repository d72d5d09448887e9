#!/bin/sh
# Builds the unit tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ (or the folder given as $SANITIZE_BUILD_DIR) and runs them,
# two at a time: the QtTest programs (label "unit"). The package checks and
# the scripts that drive the real program test it as shipped, not our code's
# memory use, and run in the plain build.
#   scripts/test-sanitized.sh [build|run] [ctest arguments...]
# build only builds, run only runs what was built; neither: both.
set -eu
cd "$(dirname "$0")/.."
build="${SANITIZE_BUILD_DIR:-build-asan}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
phase=both
case "${1:-}" in build | run) phase=$1 && shift ;; esac
if [ "$phase" != run ]; then
  # -O1 as the sanitizers' authors advise, and line tables only (-g1): a
  # fraction of the compile time, and stack traces that still name the line.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DZENTAVO_SANITIZE=ON -DZENTAVO_WERROR=ON -DBUILD_TESTING=ON -DZENTAVO_BENCHMARKS=OFF
  cmake --build "$build" --target unit_tests
fi
[ "$phase" != build ] || exit 0
cd "$build"
# Leaks are not looked for: Qt, fontconfig and the X libraries keep memory
# for the life of the process on purpose, which would bury any finding.
ASAN_OPTIONS="detect_leaks=0:check_initialization_order=1:detect_stack_use_after_return=1" \
UBSAN_OPTIONS="print_stacktrace=1" \
QT_QPA_PLATFORM=offscreen \
  ctest --output-on-failure --timeout 900 -j2 -L unit "$@"
