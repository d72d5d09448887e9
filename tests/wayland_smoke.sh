#!/bin/sh
# The real zentavo, native on Wayland (a Weston of its own), driven from
# outside through the accessibility bus, as there is no pointer to move:
# generate, save through the save dialog, copy (with the secret mark), then
# clear, let another program take the clipboard and count what a core dump
# still holds (see wayland_smoke.py).
#   wayland_smoke.sh path/to/zentavo
set -eu
zentavo=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/support/desktop.sh"
need Xvfb weston wl-copy wl-paste gcore dbus-run-session /usr/libexec/at-spi-bus-launcher
# 50 passwords of 20 letters and digits, with line numbers, as e2e_memory.sh makes.
printf '%s\n' '[Zentavo]' 'Alpha%20Lower=1' 'Alpha%20Upper=1' 'Numeric=1' 'Specified=0' 'Check8=0' 'Check9=1' \
  'Check4=0' 'Check3=0' 'Check1=0' 'Number%20Of%20Passwords=50' 'Password%20Length=20' \
  >"$XDG_CONFIG_HOME/Veltrano/Zentavo.ini"
start_xvfb
start_weston
export DISPLAY="" QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
dbus-run-session -- sh -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  bus=$!
  "$1" >"$3/zentavo.log" 2>&1 &
  app=$!
  status=0
  /usr/bin/python3 "$2" "$3" "$app" || status=$?
  [ "$status" -eq 0 ] || cat "$3/zentavo.log"
  kill "$app" "$bus" 2>/dev/null || true
  exit "$status"' sh "$zentavo" "$here/wayland_smoke.py" "$work"
