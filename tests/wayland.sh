#!/bin/sh
# wayland.sh PROGRAM...: in a Weston of its own
set -eu
. "$(dirname "$0")/support/desktop.sh"
need Xvfb weston
start_xvfb
start_weston
DISPLAY="" QT_QPA_PLATFORM=wayland "$@"
