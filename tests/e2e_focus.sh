#!/bin/sh
# Under a window manager (openbox), with real keys and clicks: a field that
# fails its check, left by a click on a command, by Tab or by a click into
# the other field, shows one warning and nothing else (the click runs no
# command), in a dialog of the main window; however it is answered, it does
# not come back by itself and the focus is back in the field. Closing the
# main window while a warning is up ends the program.
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
until_true() { # what command...
  what=$1 tries=0
  shift
  until "$@"; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { echo "FAIL: $what"; cat "$work/zentavo.log"; exit 1; }
    sleep 0.1
  done
}
boxes() { [ "$(windows Zentavo | wc -l)" -eq $(($1 + 1)) ] && [ -z "$(windows 'Application Error')" ]; }
# A control's centre, from its place in the design (twips, 15 to a pixel).
click() { xdotool mousemove --window "$main" $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)) click 1; }
start="120 6270 7800 405" Text2="360 4815 7300 345" Text3="360 5670 7300 345"
"$zentavo" >"$work/zentavo.log" 2>&1 &
app=$!
started "$app"
until_true "the main window shows" boxes 0
main=$(windows Zentavo)
until_true "the main window is active" sh -c "[ \$(xdotool getactivewindow) = $main ]"

while read -r field key text leave answer; do
  echo "== $text in $field, left by $leave, answered by $answer"
  eval "click \$$field"
  xdotool key ctrl+a type "$text"
  until_true "typing reaches $field" grep -qx "$key=$text" "$ini"
  # Held while the click or key is made, the program finds all of it waiting
  # at once, as on a busy machine.
  kill -STOP "$app"
  if [ "$leave" = Tab ]; then xdotool key Tab; else eval "click \$$leave"; fi
  kill -CONT "$app"
  until_true "one warning comes up" boxes 1
  sleep 1 # a command the click ran would have shown its box by now
  boxes 1 || { echo "FAIL: more than the warning came up"; exit 1; }
  box=$(windows Zentavo | grep -vx "$main")
  props=$(xprop -id "$box" WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE _NET_WM_ALLOWED_ACTIONS)
  echo "$props" | grep -q "# $(printf '0x%x' "$main")" && echo "$props" | grep -q 'TYPE_DIALOG' &&
    ! echo "$props" | grep -q 'ACTION_MAXIMIZE' || { echo "FAIL: not a dialog of the main window: $props"; exit 1; }
  if [ "$answer" = mouse ]; then
    eval "$(xdotool getwindowgeometry --shell "$box")"
    xdotool mousemove --window "$box" $((WIDTH - 50)) $((HEIGHT - 25)) click 1
  else xdotool key "$answer"; fi
  until_true "the warning goes" boxes 0
  sleep 1.5
  boxes 0 || { echo "FAIL: the warning came back by itself"; exit 1; }
  xdotool key ctrl+a type 7
  until_true "the focus is back in $field" grep -qx "$key=7" "$ini"
done <<'CASES'
Text2 Number%20Of%20Passwords abc start Return
Text2 Number%20Of%20Passwords 0 Text3 Escape
Text3 Password%20Length 0 start mouse
Text3 Password%20Length abc Tab space
CASES

echo "== closing the main window while a warning is up"
click $Text2
xdotool key ctrl+a BackSpace Tab
until_true "the warning comes up" boxes 1
/usr/bin/python3 "$(dirname "$0")/support/close-window.py" "$main"
until_true "the program ends" sh -c "! kill -0 $app 2>/dev/null"
