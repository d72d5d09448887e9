#!/bin/sh
# What a screen reader hears: starts the real zentavo on a display and an
# accessibility bus of its own and reads every control's role, name and
# description from outside, through AT-SPI.
#   atspi_names.sh path/to/zentavo
set -eu
zentavo=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/support/desktop.sh"
need Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
  { echo "python3-pyatspi is missing: scripts/install-deps.sh --test installs it"; exit 1; }

# The user's own characters in use, so their field is shown.
printf '[Zentavo]\nSpecified=1\n' >"$XDG_CONFIG_HOME/Veltrano/Zentavo.ini"
start_xvfb 1280x1024

dbus-run-session -- sh -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  bus=$!
  sleep 1
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" >"$3/zentavo.log" 2>&1 &
  app=$!
  status=0
  /usr/bin/python3 "$2" || status=$?
  kill "$app" "$bus" 2>/dev/null || true
  exit "$status"' sh "$zentavo" "$here/atspi_walk.py" "$work"
