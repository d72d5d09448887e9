#!/bin/sh
# printing.sh PROGRAM...: with a print server of its own (start_cupsd)
set -eu
. "$(dirname "$0")/support/desktop.sh"
need cupsd lpadmin lpstat
start_cupsd
status=0
"$@" || status=$?
# Ended and waited for, so its folder can go.
kill "$cupsd" && wait "$cupsd" || true
exit $status
