#!/bin/sh
# Installs what Zentavo and its tests need, builds everything and runs every
# test. Tests run headless; the ones that need a real display start their own
# Xvfb. None of them reads or writes the real user's settings or clipboard.
# Then checks that includes follow the layers and that the sources follow
# .clang-format, and runs the unit tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, and replays the fuzz targets' seed corpora
# (SANITIZE=0 leaves both builds out).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
scripts/build.sh
# Every part runs even after one has failed, so one run shows all findings.
status=0
(cd "${BUILD_DIR:-build}" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 "$@") || status=1
scripts/check-layers.sh || status=1
scripts/check-format.sh || status=1
if [ "${SANITIZE:-1}" != 0 ]; then
  scripts/test-sanitized.sh || status=1
  scripts/test-fuzz.sh || status=1
fi
exit "$status"
