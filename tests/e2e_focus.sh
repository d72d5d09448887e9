#!/bin/sh
# The real program under a window manager (openbox), driven by real keys and
# clicks: a field that fails its check, left by a click on a command, by Tab
# or by a click into the other field, shows its one warning and nothing else
# (the click does not run its command); the box is a dialog of the main
# window; however it is answered, the focus is back in the field and the
# warning does not come back by itself. Closing the main window while a
# warning is up ends the program.
#   e2e_focus.sh path/to/zentavo
set -eu

zentavo=$1
. "$(dirname "$0")/support/desktop.sh"
need Xvfb openbox xdotool xprop /usr/bin/python3
ini="$XDG_CONFIG_HOME/Veltrano/Zentavo.ini"
printf '[Zentavo]\nNumber%%20Of%%20Passwords=5\nPassword%%20Length=6\n' >"$ini"
start_xvfb
openbox --sm-disable >"$work/openbox.log" 2>&1 &
started $!

until_true() { # seconds what command...
  limit=$(($1 * 10)) what=$2 tries=0
  shift 2
  until "$@"; do
    tries=$((tries + 1))
    [ "$tries" -lt "$limit" ] || { echo "FAIL: $what; zentavo said:"; cat "$work/zentavo.log"; exit 1; }
    sleep 0.1
  done
}
boxes() { [ "$(windows Zentavo | wc -l)" -eq $(($1 + 1)) ] && [ -z "$(windows 'Application Error')" ]; }
stored() { grep -qx "$1=$2" "$ini"; }
# A control's centre, from its place in the design (twips, 15 to a pixel).
click_at() { xdotool mousemove --window "$main" $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)) click 1; }
start=" 120 6270 7800 405" text2="360 4815 7300 345" text3="360 5670 7300 345"

"$zentavo" >"$work/zentavo.log" 2>&1 &
app=$!
started "$app"
until_true 30 "the main window shows" boxes 0
main=$(windows Zentavo | head -n 1)
until_true 30 "the main window is active" sh -c "[ \$(xdotool getactivewindow) = $main ]"

while read -r field key text leave answer; do
  echo "== $text in $field, left by $leave, answered by $answer"
  # shellcheck disable=SC2046
  click_at $(eval echo "\$$field")
  xdotool key ctrl+a type "$text"
  until_true 10 "typing reaches $field" stored "$key" "$text"
  # The program is held while the key or click is made, so it finds the
  # whole of it waiting at once, as on a busy machine.
  kill -STOP "$app"
  case $leave in
    Tab) xdotool key Tab ;;
    *) click_at $(eval echo "\$$leave") ;; # shellcheck disable=SC2046
  esac
  kill -CONT "$app"
  until_true 30 "one warning comes up" boxes 1
  box=$(windows Zentavo | grep -vx "$main")
  sleep 1 # a command the click ran would have shown its box by now
  boxes 1 || { echo "FAIL: more than the warning came up"; exit 1; }
  props=$(xprop -id "$box" WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE _NET_WM_ALLOWED_ACTIONS)
  echo "$props" | grep -q "window id # $(printf '0x%x' "$main")" ||
    { echo "FAIL: the box does not belong to the main window: $props"; exit 1; }
  echo "$props" | grep -q '_NET_WM_WINDOW_TYPE_DIALOG' || { echo "FAIL: not a dialog: $props"; exit 1; }
  ! echo "$props" | grep -q 'ACTION_MAXIMIZE' || { echo "FAIL: the box can be maximised: $props"; exit 1; }
  case $answer in
    mouse) eval "$(xdotool getwindowgeometry --shell "$box")"
      xdotool mousemove --window "$box" $((WIDTH - 50)) $((HEIGHT - 25)) click 1 ;;
    *) xdotool key "$answer" ;;
  esac
  until_true 30 "the warning goes" boxes 0
  sleep 1.5
  boxes 0 || { echo "FAIL: the warning came back by itself"; exit 1; }
  xdotool key ctrl+a type 7
  until_true 10 "the focus is back in $field" stored "$key" 7
done <<'CASES'
text2 Number%20Of%20Passwords abc start Return
text2 Number%20Of%20Passwords 0 text3 Escape
text3 Password%20Length 0 start mouse
text3 Password%20Length abc Tab space
CASES

echo "== closing the main window while a warning is up"
click_at $text2
xdotool key ctrl+a BackSpace Tab
until_true 30 "the warning comes up" boxes 1
/usr/bin/python3 "$(dirname "$0")/support/close-window.py" "$main"
until_true 10 "the program ends" sh -c "! kill -0 $app 2>/dev/null"
echo "Each refused field showed one warning, took the click, and kept the focus."
