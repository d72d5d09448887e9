#!/bin/sh
# Builds the Debian packages the way a maintainer does (cpack -G DEB) into
# OUT/deb (the window's and the command line's) and unpacks them into
# OUT/root, as dpkg would lay them out under /.
#   build-package.sh CPACK BUILD_DIR OUT
set -eu
cpack=$1 build_dir=$2 out=$3

rm -rf "$out"
mkdir -p "$out/deb"
"$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out/deb"
set -- "$out"/deb/zentavo_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || { echo "expected one zentavo_*.deb in $out/deb, found: $*"; exit 1; }
dpkg-deb --info "$1"
dpkg-deb -x "$1" "$out/root"
# The command line's package, unpacked beside it as if both were installed.
set -- "$out"/deb/zentavo-cli_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || { echo "expected one zentavo-cli_*.deb in $out/deb, found: $*"; exit 1; }
dpkg-deb --info "$1"
dpkg-deb -x "$1" "$out/root"
