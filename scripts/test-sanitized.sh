#!/bin/sh
# Builds the unit tests and the fuzz targets with clang 14, AddressSanitizer
# and UndefinedBehaviorSanitizer in build-asan/ (or the folder given as
# $SANITIZE_BUILD_DIR), then runs the unit tests two at a time (the QtTest
# programs, label "unit") and each fuzz target once over its seed corpus in
# tests/fuzz/: seconds, not a fuzzing run (to fuzz on, see README). The
# package checks and the scripts that drive the real program test it as
# shipped, not our code's memory use, and run in the plain build.
#   scripts/test-sanitized.sh [build|run|both] [ctest arguments...]
# build only builds, run only runs what was built; both, or neither: both. Without
# clang 14 the default compiler builds the unit tests alone.
set -eu
cd "$(dirname "$0")/.."
build="${SANITIZE_BUILD_DIR:-build-asan}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
phase=both
case "${1:-}" in build | run | both) phase=$1 && shift ;; esac
if [ "$phase" != run ]; then
  fuzz=OFF
  if command -v clang++-14 >/dev/null; then
    export CC=clang-14 CXX=clang++-14
    fuzz=ON
  fi
  # -O1 as the sanitizers' authors advise, and line tables only (-g1): a
  # fraction of the compile time, and stack traces that still name the line.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DZENTAVO_SANITIZE=ON -DZENTAVO_FUZZ=$fuzz -DZENTAVO_WERROR=ON -DBUILD_TESTING=ON -DZENTAVO_BENCHMARKS=OFF
  targets=unit_tests
  [ "$fuzz" = OFF ] || targets="$targets fuzz_targets"
  # shellcheck disable=SC2086
  cmake --build "$build" --target $targets
fi
[ "$phase" != build ] || exit 0
status=0
# Leaks are not looked for: Qt, fontconfig and the X libraries keep memory
# for the life of the process on purpose, which would bury any finding.
(
  cd "$build"
  ASAN_OPTIONS="detect_leaks=0:check_initialization_order=1:detect_stack_use_after_return=1" \
  UBSAN_OPTIONS="print_stacktrace=1" \
  QT_QPA_PLATFORM=offscreen \
    ctest --output-on-failure --timeout 900 -j2 -L unit "$@"
) || status=1
for corpus in tests/fuzz/*/; do
  target="$build/tests/fuzz/fuzz_$(basename "$corpus")"
  [ -x "$target" ] || continue
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$target" -runs=0 "$corpus" || status=1
done
exit "$status"
