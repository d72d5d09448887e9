#!/bin/sh
# Runs a test program in a Wayland session of its own: Weston on a private Xvfb (its headless
# backend has no seat, so no clipboard).   wayland.sh PROGRAM [ARGUMENT...]
set -eu
. "$(dirname "$0")/support/desktop.sh"
need Xvfb weston
start_xvfb
export WAYLAND_DISPLAY="zentavo-test-$$"
weston --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" --use-pixman --width=1280 --height=1024 &
started $!
until [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; do sleep 0.1; done
# Qt 6.4's input method crashes drawing a text cursor before any keyboard was seen.
DISPLAY="" QT_QPA_PLATFORM=wayland QT_IM_MODULE=none "$@"
