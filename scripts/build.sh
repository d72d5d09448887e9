#!/bin/sh
# Configures and builds Zentavo in build/ (or the folder given as $BUILD_DIR).
# Arguments go to CMake, e.g. -DBUILD_TESTING=OFF -DZENTAVO_BENCHMARKS=OFF
# to build only what is shipped.
set -eu
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
# The compiler cache names files relative to the checkout, so another clone
# of the same sources finds them too.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@"
cmake --build "$build"
