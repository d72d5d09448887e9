# Shared by the test scripts that run the real program on a display of their
# own. Sourcing it makes a private work folder, $work, removed at exit with
# every process handed to `started`, and points home, settings, cache,
# runtime folder and browser below it: nothing of the real user's is read,
# written or opened. Then:
#   need TOOL...               stops with a clear message when a tool is missing
#   started PID...             ends those processes at exit
#   stop_started               ends them now
#   private_session DIR        home, settings, runtime folder and a browser that
#                              only records what it was asked to open, below DIR
#                              (done for $work already; again for a fresh start)
#   start_xvfb [WIDTHxHEIGHT]  an Xvfb on a free display (1280x1024 unless
#                              given); exports DISPLAY
#   start_openbox              openbox on that Xvfb, once it manages windows
#   start_weston               a Weston in a window of that Xvfb (a headless
#                              one has no seat, hence no clipboard); exports
#                              WAYLAND_DISPLAY
#   windows NAME               the visible windows titled exactly NAME
#   start_cupsd                a private cupsd (exports CUPS_SERVER) whose queue
#                              ZENTAVO_TEST_PRINTER files jobs in ZENTAVO_TEST_PRINTS

work=$(mktemp -d)
pids=""
started() { pids="$pids $*"; }
stop_started() {
  for pid in $pids; do kill "$pid" 2>/dev/null || true; done
  pids=""
}
trap 'stop_started; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null ||
      { echo "$tool is missing: scripts/install-deps.sh --test installs it"; exit 1; }
  done
}

private_session() {
  export HOME="$1/home" XDG_CONFIG_HOME="$1/config" XDG_CACHE_HOME="$1/cache" \
    XDG_DATA_HOME="$1/data" XDG_RUNTIME_DIR="$1/runtime"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME/Veltrano"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  unset SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY QT_SCALE_FACTOR QT_FONT_DPI \
    QT_QPA_PLATFORMTHEME
  # Once in a hundred starts the program visits its home page: never for real.
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$work/browser.log" >"$1/browser"
  chmod +x "$1/browser"
  export ZENTAVO_BROWSER="$1/browser"
}
private_session "$work"

# Waits, a tenth of a second at a time and at most TRIES times, until the
# command succeeds; stops with NAME's log ($work/NAME.log) if it never does
# or process PID ended meanwhile.
wait_started() { # NAME TRIES PID command...
  name=$1 limit=$2 pid=$3 tries=0
  shift 3
  until "$@"; do
    tries=$((tries + 1))
    kill -0 "$pid" 2>/dev/null && [ "$tries" -lt "$limit" ] || { echo "$name did not start:"; cat "$work/$name.log"; exit 1; }
    sleep 0.1
  done
}

start_xvfb() {
  rm -f "$work/display"
  # -noreset: when its last client leaves, the server does not reset, which
  # would turn away a client connecting at that moment.
  Xvfb -displayfd 3 -screen 0 "${1:-1280x1024}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/Xvfb.log" &
  started $!
  wait_started Xvfb 100 $! test -s "$work/display"
  export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb
}

windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }

start_weston() {
  export WAYLAND_DISPLAY="zentavo-test-$$"
  weston --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" --use-pixman --width=1280 --height=1024 \
    >"$work/weston.log" 2>&1 &
  started $!
  wait_started weston 600 $! test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"
}

start_openbox() {
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  started $!
  wait_started openbox 1200 $! sh -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'"
}

start_cupsd() {
  c="$work/cups" user=lp group=lp admins=root
  [ "$(id -u)" -eq 0 ] || { user=$(id -un) group=$(id -gn) admins=$(id -gn); }
  chmod 711 "$work" && mkdir -m 755 "$c" "$c/bin" "$c/bin/backend"
  for d in spool cache log state out; do mkdir "$c/$d" && chown "$user" "$c/$d"; done
  for x in filter daemon cgi-bin driver monitor notifier; do ln -s "/usr/lib/cups/$x" "$c/bin/$x"; done
  # A raw queue's file: device takes no data; this backend keeps each job's bytes.
  printf '#!/bin/sh\n[ $# -eq 0 ] && exit 0\nif [ -n "${6:-}" ]; then cat "$6"; else cat; fi >"${DEVICE_URI#capture:}/.job-$1"\nmv "${DEVICE_URI#capture:}/.job-$1" "${DEVICE_URI#capture:}/job-$1"\n' >"$c/bin/backend/capture"
  chmod 755 "$c/bin/backend/capture"
  printf 'User %s\nGroup %s\nSystemGroup %s\nServerRoot %s\nRequestRoot %s/spool\nCacheDir %s/cache\nStateDir %s/state\nTempDir %s/spool\nAccessLog %s/log/access_log\nErrorLog %s/log/error_log\nPageLog %s/log/page_log\nServerBin %s/bin\nDataDir /usr/share/cups\n' \
    "$user" "$group" "$admins" "$c" "$c" "$c" "$c" "$c" "$c" "$c" "$c" "$c" >"$c/cups-files.conf"
  # On a socket of its own: no port to find free, none taken from others.
  printf 'Listen %s/socket\nLogLevel warn\nDefaultAuthType None\n<Location />\nOrder allow,deny\nAllow all\n</Location>\n<Location /admin>\nOrder allow,deny\nAllow all\n</Location>\n' "$c" >"$c/cupsd.conf"
  cupsd -f -c "$c/cupsd.conf" -s "$c/cups-files.conf" >"$work/cupsd.log" 2>&1 &
  cupsd=$! && started $cupsd
  export CUPS_SERVER="$c/socket"
  wait_started cupsd 300 $cupsd sh -c "lpstat -r 2>/dev/null | grep -q 'is running'"
  lpadmin -p slips -E -v "capture:$c/out" -m raw 2>/dev/null
  export ZENTAVO_TEST_PRINTER=slips ZENTAVO_TEST_PRINTS="$c/out"
}
