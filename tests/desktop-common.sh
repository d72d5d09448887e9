# Shared by the tests that run the real program on a display of their own:
# a private home and settings, an Xvfb on a free display number, and clean-up
# of everything they started.   . desktop-common.sh

work=$(mktemp -d)
started=""
finish() {
  for pid in $started; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM

# Nothing of the real user's: settings, home, runtime folder, session bus.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
  XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Veltrano"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY QT_SCALE_FACTOR QT_FONT_DPI QT_QPA_PLATFORMTHEME

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null ||
      { echo "$tool is missing: scripts/install-deps.sh --test installs it"; exit 1; }
  done
}

# start_xvfb WIDTHxHEIGHT: a screen of that size on whichever display is free.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  started="$started $!"
  tries=0
  until [ -s "$work/display" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb
}
