#!/bin/sh
# Under openbox, real keys and clicks: a refused field, left by a click on a command, by Tab or by a
# click into the other field, shows one warning, a dialog of the main window, and nothing else; answered
# any way, it does not come back and the field has the focus.   e2e_focus.sh path/to/zentavo
set -eu
. "$(dirname "$0")/support/desktop.sh"
need Xvfb openbox xdotool xprop
ini="$XDG_CONFIG_HOME/Veltrano/Zentavo.ini" && printf '[Zentavo]\nNumber%%20Of%%20Passwords=5\n' >"$ini"
start_xvfb && start_openbox
"$1" >"$work/zentavo.log" 2>&1 & app=$!
started "$app"
fail() { echo "FAIL: $*"; cat "$work/zentavo.log"; exit 1; }
until_true() { w=$1 t=0 && shift && until "$@"; do t=$((t + 1)) && [ $t -lt 1200 ] && sleep 0.1 || fail "$w"; done; }
# The main window and $1 boxes, all called Zentavo, and no other window (an error box, in any language).
boxes() { [ "$(windows Zentavo | wc -l)" -eq $(($1 + 1)) ] && [ "$(xdotool search --onlyvisible --name . | wc -l)" -eq $(($1 + 1)) ]; }
# A control's centre, from its place in the design (twips, 15 to a pixel).
click() { xdotool mousemove --window "$main" $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)) click 1; }
start="120 6270 7800 405" Text2="360 4815 7300 345" Text3="360 5670 7300 345"
until_true "the main window shows" boxes 0 && main=$(windows Zentavo)
until_true "the main window is active" sh -c "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = $main ]"
while read -r field key text leave answer; do
  echo "== $text in $field, left by $leave, answered by $answer" && eval "click \$$field"
  xdotool key ctrl+a type "$text"
  until_true "typing reaches $field" grep -qx "$key=$text" "$ini"
  kill -STOP "$app" # the program finds all of the click waiting at once, as on a busy machine
  if [ "$leave" = Tab ]; then xdotool key Tab; else eval "click \$$leave"; fi
  kill -CONT "$app"
  until_true "one warning comes up" boxes 1
  sleep 1 && boxes 1 || fail "more than the warning came up" # as a command the click ran would show
  box=$(windows Zentavo | grep -vx "$main")
  props=$(xprop -id "$box" WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE _NET_WM_ALLOWED_ACTIONS)
  echo "$props" | grep -q "# $(printf '0x%x' "$main")" && echo "$props" | grep -q 'TYPE_DIALOG' &&
    ! echo "$props" | grep -q 'ACTION_MAXIMIZE' || fail "not a dialog of the main window: $props"
  eval "$(xdotool getwindowgeometry --shell "$box")"
  if [ "$answer" = mouse ]; then xdotool mousemove --window "$box" $((WIDTH - 50)) $((HEIGHT - 25)) click 1
  else xdotool key "$answer"; fi
  sleep 2 && boxes 0 || fail "the warning stayed or came back by itself"
  xdotool key ctrl+a type 7
  until_true "the focus is back in $field" grep -qx "$key=7" "$ini"
done <<'CASES'
Text2 Number%20Of%20Passwords abc start Return
Text2 Number%20Of%20Passwords 0 Text3 Escape
Text3 Password%20Length 0 start mouse
Text3 Password%20Length abc Tab space
CASES
