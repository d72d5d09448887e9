#!/bin/sh
# Debian's package checker finds no error and no warning in the package.
#   check-lintian.sh OUT
set -eu
. "$(dirname "$0")/common.sh"
# Informational, pedantic and experimental tags are shown but do not fail.
status=0
lintian --display-info --display-experimental --pedantic \
  --fail-on error,warning "$deb" > "$out/lintian.txt" 2>&1 || status=$?
grep -v 'running with root privileges' "$out/lintian.txt" || true
[ "$status" -eq 0 ] || fail "lintian found errors or warnings"
echo "lintian: no errors, no warnings"
