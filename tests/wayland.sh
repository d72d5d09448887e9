#!/bin/sh
# wayland.sh PROGRAM...: in a Weston of its own, on a private Xvfb (a headless one has no clipboard)
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
