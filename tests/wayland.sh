#!/bin/sh
# wayland.sh PROGRAM...: in a Weston of its own
set -eu
. "$(dirname "$0")/support/desktop.sh"
need Xvfb weston
start_xvfb
start_weston
# Qt 6.4's input method crashes drawing a text cursor before any keyboard was seen.
DISPLAY="" QT_QPA_PLATFORM=wayland QT_IM_MODULE=none "$@"
