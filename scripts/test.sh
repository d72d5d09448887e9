#!/bin/sh
# Installs what Zentavo and its tests need, builds everything (warnings are
# errors) and runs every test, two at a time. Tests run headless; the ones
# that need a real display start their own Xvfb. None of them reads or writes
# the real user's settings or clipboard.
#
#   1. the plain build: program, tests and benchmarks, in build/; there the
#      tests that drive the real program, the package and the displays run;
#   2. the checks: includes follow the layers, the sources follow
#      .clang-format, clang-tidy finds nothing (it runs beside step 1's tests);
#   3. the sanitizer build in build-asan/: the unit tests (label "unit") run
#      there, once, under AddressSanitizer and UndefinedBehaviorSanitizer,
#      and the fuzz targets replay their seed corpora.
#
# SANITIZE=0 leaves the sanitizer and fuzz builds out and runs the unit tests
# in the plain build instead. Arguments go to both ctest runs (e.g. -R tst_memory).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
build="${BUILD_DIR:-build}"
scripts/build.sh -DZENTAVO_WERROR=ON -DBUILD_TESTING=ON -DZENTAVO_BENCHMARKS=ON
sanitize="${SANITIZE:-1}"
# Every part runs even after one has failed, so one run shows all findings.
status=0
# clang-tidy reads the plain build's flags. It runs beside the end-to-end
# tests, which spend most of their time waiting for displays and programs.
scripts/check-tidy.sh "$build" >"$build/check-tidy.log" 2>&1 &
tidy=$!
if [ "$sanitize" != 0 ]; then
  set -- -LE unit "$@"
fi
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j2 "$@") || status=1
[ "$sanitize" = 0 ] || shift 2
scripts/check-layers.sh || status=1
scripts/check-format.sh || status=1
wait "$tidy" || status=1
cat "$build/check-tidy.log"
if [ "$sanitize" != 0 ]; then
  scripts/test-sanitized.sh "$@" || status=1
  scripts/test-fuzz.sh || status=1
fi
exit "$status"
