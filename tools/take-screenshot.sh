#!/bin/sh
# Takes docs/screenshot.png, the picture in the README and the AppStream
# metadata: the real main window under Xvfb, started with first-run settings
# (a throwaway home), after "Start Generating" and with "Done." dismissed.
#   tools/take-screenshot.sh [program] [output]
# Needs xvfb, xdotool and ImageMagick's import.
set -eu
cd "$(dirname "$0")/.."
program=$(readlink -f "${1:-build/zentavo}")
output=$(readlink -f "${2:-docs/screenshot.png}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/runtime"
chmod 700 "$scratch/runtime"

cat > "$scratch/shoot.sh" <<'SCRIPT'
set -eu
program=$1 output=$2
"$program" &
pid=$!
window=""
for _ in $(seq 50); do
  window=$(xdotool search --onlyvisible --name '^Zentavo$' 2>/dev/null | head -n1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the window did not appear" >&2; kill "$pid"; exit 1; }
sleep 1
# "Start Generating" spans 8..528 x 418..445 of the client area (twips / 15).
xdotool mousemove --window "$window" 268 431 click 1
sleep 2
# The "Done." box has the focus; Return presses its OK.
xdotool key Return
sleep 1
xdotool mousemove --window "$window" 268 431
sleep 0.5
import -window "$window" "$output"
kill "$pid"
SCRIPT

# ZENTAVO_BROWSER=true: the occasional visit to the home page goes nowhere.
HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/runtime \
  ZENTAVO_BROWSER=true QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 800x900x24" sh "$scratch/shoot.sh" "$program" "$output"
echo "$output"
