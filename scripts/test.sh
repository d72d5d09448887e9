#!/bin/sh
# Installs what Zentavo and its tests need, builds everything (warnings are
# errors) and runs every test, two at a time. Tests run headless; the ones
# that need a real display start their own Xvfb. None of them reads or writes
# the real user's settings or clipboard.
#
#   1. the plain build in build/: the program, the benchmarks and what the
#      tests below drive; there the tests that drive the real program, the
#      package and the displays run;
#   2. the checks: includes follow the layers, the sources follow
#      .clang-format, clang-tidy finds nothing;
#   3. the sanitizer build in build-asan/, with clang: the unit tests (label
#      "unit") are built there, with warnings as errors, and run once, under
#      AddressSanitizer and UndefinedBehaviorSanitizer; and the fuzz targets
#      replay their seed corpora;
#   4. at the end, every command in README.md works as written
#      (scripts/check-readme.sh).
# Step 3 runs from the start beside the others, at a lower priority, on the
# cores they leave idle: the tests of step 1 spend most of their time
# waiting for displays and programs. clang-tidy runs beside them too.
#
# SANITIZE=0 leaves the sanitizer build out and builds and runs the unit
# tests in the plain build instead. Arguments go to both ctest runs (e.g.
# -R tst_memory).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
build="${BUILD_DIR:-build}"
sanitize="${SANITIZE:-1}"
mkdir -p "$build"
# Every part runs even after one has failed, so one run shows all findings.
status=0
unit=ON
only=""
if [ "$sanitize" != 0 ]; then
  # Built and run beside everything else, on the cores the rest leaves idle.
  nice -n 10 scripts/test-sanitized.sh both "$@" >"$build/sanitized.log" 2>&1 &
  sanitized=$!
  unit=OFF
  only="-LE unit"
fi
if scripts/build.sh -DZENTAVO_WERROR=ON -DBUILD_TESTING=ON -DZENTAVO_BENCHMARKS=ON -DZENTAVO_UNIT_TESTS=$unit; then
  # clang-tidy reads the plain build's flags.
  nice -n 10 scripts/check-tidy.sh "$build" >"$build/check-tidy.log" 2>&1 &
  tidy=$!
  # shellcheck disable=SC2086
  (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j2 $only "$@") || status=1
  wait "$tidy" || status=1
  cat "$build/check-tidy.log"
else
  status=1
fi
scripts/check-layers.sh || status=1
scripts/check-format.sh || status=1
if [ "$sanitize" != 0 ]; then
  wait "$sanitized" || status=1
  cat "$build/sanitized.log"
fi
scripts/check-readme.sh "$build" "${SANITIZE_BUILD_DIR:-build-asan}" || status=1
exit "$status"
