#!/bin/sh
# Runs a test program in a Wayland session of its own, through Qt's Wayland
# plugin: Weston on a private Xvfb (its headless backend has no seat, and so
# no clipboard).
#   wayland.sh PROGRAM [ARGUMENT...]
set -eu
. "$(dirname "$0")/support/desktop.sh"
need Xvfb weston wl-copy
start_xvfb
export WAYLAND_DISPLAY="zentavo-test-$$"
weston --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" --use-pixman --idle-time=0 --width=1280 \
  --height=1024 >"$work/weston.log" 2>&1 &
started $!
tries=0
until [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; do
  tries=$((tries + 1))
  [ "$tries" -lt 300 ] || { echo "Weston did not start:"; cat "$work/weston.log"; exit 1; }
  sleep 0.1
done
# Qt 6.4's Wayland input method crashes drawing a text cursor before it has
# seen a keyboard: plain input, as without an input method.
DISPLAY="" QT_QPA_PLATFORM=wayland QT_IM_MODULE=none "$@"
