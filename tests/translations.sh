#!/bin/sh
# The translations are complete and in step with the sources: lupdate run on
# the sources again changes nothing, and no text is left untranslated.
#   translations.sh path/to/lupdate source-dir
set -eu
lupdate=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$root"/translations/*.ts; do
  cp "$ts" "$work/current.ts"
  "$lupdate" -silent -no-obsolete -locations none -I "$root/src" "$root"/src/ui/*.cpp "$root"/src/main.cpp \
    "$root"/src/core/*.cpp "$root"/src/generator/*.cpp "$root"/src/results/*.cpp "$root"/src/export/*.cpp \
    -ts "$work/current.ts"
  if ! cmp -s "$ts" "$work/current.ts"; then
    echo "$ts is out of step with the sources (run: cmake --build build --target update_translations):"
    diff "$ts" "$work/current.ts" | head -n 40 || true
    status=1
  fi
  if grep -n 'type="\(unfinished\|vanished\|obsolete\)"' "$ts"; then
    echo "$ts has texts without a finished translation (above)"
    status=1
  fi
done
exit "$status"
