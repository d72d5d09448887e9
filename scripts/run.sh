#!/bin/sh
# Installs what Zentavo needs, builds it and starts it.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec "${BUILD_DIR:-build}/zentavo"
