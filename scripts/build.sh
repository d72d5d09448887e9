#!/bin/sh
# Configures and builds Zentavo in build/ (or the folder given as $BUILD_DIR).
set -eu
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@"
cmake --build "$build"
