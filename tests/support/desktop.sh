# Shared by the scripts that run the real program: a private session (home,
# settings, runtime folder, and a browser that only records what it was asked
# to open) and a virtual display of its own. Source it, then:
#   private_session DIR   exports HOME, XDG_* and ZENTAVO_BROWSER below DIR
#   start_xvfb DIR        starts Xvfb on a free display, exports DISPLAY; sets $xvfb
#   windows NAME          the visible windows titled exactly NAME

private_session() {
  export HOME="$1/home" XDG_CONFIG_HOME="$1/config" XDG_CACHE_HOME="$1/cache" \
    XDG_DATA_HOME="$1/data" XDG_RUNTIME_DIR="$1/runtime"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME/Veltrano"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  unset SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
  # Once in a hundred starts the program visits its home page: never for real.
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$1/browser.log" >"$1/browser"
  chmod +x "$1/browser"
  export ZENTAVO_BROWSER="$1/browser"
}

start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$1/display" 2>"$1/xvfb.log" &
  xvfb=$!
  tries=0
  until [ -s "$1/display" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { echo "Xvfb did not start:"; cat "$1/xvfb.log"; exit 1; }
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$1/display")" QT_QPA_PLATFORM=xcb
}

windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }
