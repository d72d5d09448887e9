#!/bin/sh
# Builds the Debian packages build/zentavo_<version>_<arch>.deb and
# zentavo-cli_<version>_<arch>.deb (or in the
# folder given as $BUILD_DIR) with CPack and checks it with lintian. Only
# what is shipped is built: no tests, no benchmarks.
set -eu
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
scripts/install-deps.sh --package
scripts/build.sh -DBUILD_TESTING=OFF -DZENTAVO_BENCHMARKS=OFF
cd "$build"
rm -f zentavo_*.deb zentavo-cli_*.deb
cpack -G DEB
for deb in zentavo_*.deb zentavo-cli_*.deb; do
  status=0
  report=$(lintian --fail-on error,warning "$deb" 2>&1) || status=$?
  printf '%s\n' "$report" | grep -v 'running with root privileges' || true
  [ "$status" -eq 0 ] || { echo "lintian found errors or warnings in $deb" >&2; exit 1; }
  echo "$PWD/$deb"
done
