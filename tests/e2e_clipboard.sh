#!/bin/sh
# End to end, on a real (virtual) display: starts the real zentavo with known
# options, clicks "Start Generating" and "Copy Results To Clipboard" as a user
# would, and reads the clipboard from another program, line by line.
#   e2e_clipboard.sh path/to/zentavo
set -eu

zentavo=$1
# Nothing of the real user's: settings, home, runtime folder, browser.
. "$(dirname "$0")/support/desktop.sh"
need Xvfb xdotool xclip

# One character to choose from makes every password known: twelve rows of
# "xxxxxxxx", numbered, so the numbers 1 to 9 are padded to the width of 10.
cat >"$XDG_CONFIG_HOME/Veltrano/Zentavo.ini" <<'INI'
[Zentavo]
Alpha%20Lower=0
Alpha%20Upper=0
Numeric=0
Specified=1
Specified%20Character=x
Number%20Of%20Passwords=12
Password%20Length=8
Check8=0
Check9=1
Check4=0
Check3=0
Check1=0
INI

# A display of our own, on whichever number is free.
start_xvfb

# Windows titled "Zentavo": the main window, and each message box above it.
wait_for_windows() {
  tries=0
  while [ "$(windows Zentavo | wc -l)" -lt "$1" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { echo "expected $1 windows titled Zentavo; see $2"; exit 1; }
    sleep 0.1
  done
}
# A control's centre, from its place in the design (twips, 15 to a pixel).
click_control() { # left top width height
  xdotool mousemove --window "$main" $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)) click 1
}

"$zentavo" >"$work/zentavo.log" 2>&1 &
started $!
wait_for_windows 1 "the main window"
main=$(windows Zentavo | head -n 1)
sleep 0.5

click_control 120 6270 7800 405 # Start Generating
wait_for_windows 2 "\"Done.\""
xdotool key Return
wait_for_windows_gone() {
  tries=0
  while [ "$(windows Zentavo | wc -l)" -gt 1 ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { echo "a message box stayed open"; exit 1; }
    sleep 0.1
  done
}
wait_for_windows_gone

click_control 120 9645 3840 405 # Copy Results To Clipboard
wait_for_windows 2 "the confirmation"
# Read by another program while the confirmation is up, as a user pasting would.
xclip -o -selection clipboard >"$work/clipboard"
xclip -o -selection clipboard -t TARGETS >"$work/targets"
xdotool key Return
wait_for_windows_gone

i=1
: >"$work/expected"
while [ "$i" -le 12 ]; do
  printf '%-2s\txxxxxxxx\r\n' "$i" >>"$work/expected"
  i=$((i + 1))
done
if ! cmp -s "$work/expected" "$work/clipboard"; then
  echo "The clipboard holds other text than expected, line by line (- expected, + found):"
  diff "$work/expected" "$work/clipboard" | sed -n l | head -n 40 || true
  echo "zentavo said:"; cat "$work/zentavo.log"
  exit 1
fi
grep -qx 'x-kde-passwordManagerHint' "$work/targets" ||
  { echo "the clipboard text is not marked secret; offered: $(cat "$work/targets")"; exit 1; }

# Ctrl+C on rows selected in the list: their passwords alone, marked the same.
xdotool mousemove --window "$main" 300 500 click 1
xdotool key ctrl+a ctrl+c
sleep 0.5
xclip -o -selection clipboard >"$work/selected"
xclip -o -selection clipboard -t TARGETS >"$work/targets"
i=1
: >"$work/expected"
while [ "$i" -le 12 ]; do
  printf 'xxxxxxxx\r\n' >>"$work/expected"
  i=$((i + 1))
done
cmp -s "$work/expected" "$work/selected" ||
  { echo "Ctrl+C copied other text:"; sed -n l "$work/selected" | head -n 20; exit 1; }
grep -qx 'x-kde-passwordManagerHint' "$work/targets" ||
  { echo "the rows copied with Ctrl+C are not marked secret; offered: $(cat "$work/targets")"; exit 1; }
echo "The clipboard holds the 12 expected lines, and Ctrl+C the 12 passwords."
