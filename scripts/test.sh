#!/bin/sh
# Installs what Zentavo and its tests need, builds everything and runs every
# test. Tests run headless; the ones that need a real display start their own
# Xvfb. None of them reads or writes the real user's settings or clipboard.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
scripts/build.sh
cd "${BUILD_DIR:-build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 "$@"
