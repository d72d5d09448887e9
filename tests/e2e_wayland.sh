#!/bin/sh
# The real program in a Wayland session (Weston, Qt's Wayland plugin, the
# window running natively): generate, save, copy with the secret mark,
# clear, another program takes the clipboard (wl-copy); then a core dump is
# searched for the passwords, as the memory test does on X11. Weston runs on
# a private Xvfb, since its headless backend has no seat and so no clipboard;
# the window is driven through its accessibility interface (AT-SPI).
#   e2e_wayland.sh path/to/zentavo
set -eu
zentavo=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/support/desktop.sh"
need Xvfb weston wl-copy wl-paste gcore dbus-run-session /usr/libexec/at-spi-bus-launcher
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
  { echo "python3-pyatspi is missing: scripts/install-deps.sh --test installs it"; exit 1; }
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "qt6-wayland is missing: scripts/install-deps.sh --test installs it"; exit 1; }
printf '[Zentavo]\nSpecified=0\nNumber%%20Of%%20Passwords=50\nPassword%%20Length=20\nCheck8=0\nCheck9=1\nCheck4=0\nCheck3=0\nCheck1=0\n' \
  >"$XDG_CONFIG_HOME/Veltrano/Zentavo.ini"

# Qt 6.4's Wayland input method crashes drawing a text cursor before a
# keyboard has been seen: plain input, as without an input method.
start_xvfb
export WAYLAND_DISPLAY="zentavo-test-$$"
weston --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" --use-pixman --idle-time=0 --width=1024 \
  --height=768 >"$work/weston.log" 2>&1 &
started $!
export QT_QPA_PLATFORM=wayland QT_IM_MODULE=none
unset DISPLAY
tries=0
until [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; do
  tries=$((tries + 1))
  [ "$tries" -lt 300 ] || { echo "Weston did not start:"; cat "$work/weston.log"; exit 1; }
  sleep 0.1
done

dbus-run-session -- sh -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  bus=$!
  sleep 1
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" >"$3/zentavo.log" 2>&1 &
  app=$!
  status=0
  /usr/bin/python3 "$2" "$3" || status=$?
  if [ "$status" -eq 0 ]; then
    gcore -o "$3/core" "$app" >"$3/gcore.log" 2>&1 || { cat "$3/gcore.log"; status=1; }
  fi
  kill "$app" "$bus" 2>/dev/null || { wait "$app"; echo "zentavo ended with $?"; }
  exit "$status"' sh "$zentavo" "$here/wayland_drive.py" "$work" ||
  { echo "zentavo said:"; cat "$work/zentavo.log"; exit 1; }

echo "route      UTF-16  UTF-8  either"
/usr/bin/python3 "$here/support/core_passwords.py" "$work/known" "$work"/core.* clipboard | tee "$work/table"
awk '$4 > 2 { bad = 1 } END { exit bad }' "$work/table" ||
  { echo "more than 2 of the passwords are still in memory after the clipboard was taken over"
    grep -v QAccessibleTable "$work/zentavo.log"; exit 1; }
