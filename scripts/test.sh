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
#   3. the sanitizer build in build-asan/: the unit tests (label "unit") are
#      built there, with the same compiler and warnings, and run once, under
#      AddressSanitizer and UndefinedBehaviorSanitizer; and the fuzz targets
#      replay their seed corpora.
# The tests of step 1 spend most of their time waiting for displays and
# programs: clang-tidy and the builds of step 3 run meanwhile, at a lower
# priority.
#
# SANITIZE=0 leaves the sanitizer and fuzz builds out and builds and runs the
# unit tests in the plain build instead. Arguments go to both ctest runs
# (e.g. -R tst_memory).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
build="${BUILD_DIR:-build}"
sanitize="${SANITIZE:-1}"
unit=ON
[ "$sanitize" = 0 ] || unit=OFF
scripts/build.sh -DZENTAVO_WERROR=ON -DBUILD_TESTING=ON -DZENTAVO_BENCHMARKS=ON -DZENTAVO_UNIT_TESTS=$unit
# Every part runs even after one has failed, so one run shows all findings.
status=0
# clang-tidy reads the plain build's flags.
nice -n 10 scripts/check-tidy.sh "$build" >"$build/check-tidy.log" 2>&1 &
tidy=$!
if [ "$sanitize" != 0 ]; then
  nice -n 10 scripts/test-sanitized.sh build >"$build/sanitized-build.log" 2>&1 &
  builds=$!
  set -- -LE unit "$@"
fi
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j2 "$@") || status=1
[ "$sanitize" = 0 ] || shift 2
scripts/check-layers.sh || status=1
scripts/check-format.sh || status=1
wait "$tidy" || status=1
cat "$build/check-tidy.log"
if [ "$sanitize" != 0 ]; then
  # The fuzz targets build beside the sanitizer build and its tests.
  nice -n 10 scripts/test-fuzz.sh build >"$build/fuzz-build.log" 2>&1 &
  fuzz=$!
  if wait "$builds"; then
    scripts/test-sanitized.sh run "$@" || status=1
  else
    cat "$build/sanitized-build.log"
    echo "test: the sanitizer build failed (above)"
    status=1
  fi
  if wait "$fuzz"; then
    scripts/test-fuzz.sh run || status=1
  else
    cat "$build/fuzz-build.log"
    echo "test: the fuzz build failed (above)"
    status=1
  fi
fi
exit "$status"
