#!/bin/sh
# The window under a window manager (openbox) on screens of several sizes and
# scales: where the design fits, it is shown as designed; where not, it
# scrolls inside a window that fits. Each line: screen, scale, font dots per
# inch, expectation.
#   screenfit.sh path/to/tst_screenfit
set -eu
test_program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/support/desktop.sh"
need Xvfb openbox xprop

status=0
while read -r screen scale dpi expect; do
  start_xvfb "$screen"
  start_openbox
  echo "== $screen at $scale, fonts at $dpi dpi"
  QT_SCALE_FACTOR=$scale QT_FONT_DPI=$dpi ZENTAVO_EXPECT=$expect "$test_program" >"$work/out" 2>&1 || status=1
  grep -E '^(QINFO|FAIL|   Loc|Totals)' "$work/out" || cat "$work/out"
  # Each screen on a display of its own.
  stop_started
done <<'SCREENS'
1920x1080 1 96 fits
1366x768 1 96 fits
1920x1080 1.5 96 scrolls
1366x768 2 96 scrolls
1280x720 1 96 scrolls
1280x1024 1 144 scrolls
SCREENS
exit "$status"
