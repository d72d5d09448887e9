#!/bin/sh
# End to end, on a real (virtual) display: with no character group chosen and
# a count of 1000, "Start Generating" shows one report for its first kind of
# failure; closing the main window while that report is up ends the program,
# as closing it does at any other moment.
#   e2e_close.sh path/to/zentavo
set -eu

zentavo=$1
. "$(dirname "$0")/support/desktop.sh"
need Xvfb xdotool /usr/bin/python3
cat >"$XDG_CONFIG_HOME/Veltrano/Zentavo.ini" <<'INI'
[Zentavo]
Alpha%20Lower=0
Alpha%20Upper=0
Numeric=0
Specified=0
Number%20Of%20Passwords=1000
Password%20Length=6
Check8=0
Check4=1
Check3=1
INI
start_xvfb

wait_for() { # name what
  tries=0
  until [ -n "$(windows "$1")" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { echo "no window titled $1 ($2); zentavo said:"; cat "$work/zentavo.log"; exit 1; }
    sleep 0.1
  done
}

"$zentavo" >"$work/zentavo.log" 2>&1 &
app=$!
started "$app"
wait_for Zentavo "the main window"
main=$(windows Zentavo | head -n 1)
sleep 0.5
# "Start Generating", from its place in the design (twips, 15 to a pixel).
xdotool mousemove --window "$main" 268 431 click 1
wait_for "Application Error" "the first report"
sleep 1
reports=$(windows "Application Error" | wc -l)
[ "$reports" -eq 1 ] || { echo "$reports reports are up at once, expected 1"; exit 1; }

/usr/bin/python3 "$(dirname "$0")/support/close-window.py" "$main"
tries=0
while kill -0 "$app" 2>/dev/null; do
  tries=$((tries + 1))
  [ "$tries" -lt 100 ] || { echo "the program did not end within 10 s of closing its window"; exit 1; }
  sleep 0.1
done
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || { echo "the program ended with status $status; it said:"; cat "$work/zentavo.log"; exit 1; }
echo "Closing the window while a report was up ended the program."
