#!/bin/sh
# The launcher, icons and AppStream metadata as the package ships them: both
# validators accept them, the launcher starts the installed program and finds
# its icon in every size, and all of them name the package's version.
#   check-desktop-files.sh OUT
set -eu
. "$(dirname "$0")/common.sh"

set -- "$root"/usr/share/applications/*.desktop
[ $# -eq 1 ] && [ -f "$1" ] || fail "expected one launcher, found: $*"
desktop=$1
id=$(basename "$desktop" .desktop)
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
[ -f "$metainfo" ] || fail "no metainfo named after the launcher: $metainfo"

# Hints are advice (such as "Security" liking a second category); errors and
# warnings fail.
report=$(desktop-file-validate "$desktop" 2>&1) || { echo "$report"; fail "desktop-file-validate"; }
echo "$report"
if echo "$report" | grep -E ': (error|warning):'; then fail "desktop-file-validate complained"; fi
appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli validate"

value() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
for category in Utility Security; do
  value Categories | tr ';' '\n' | grep -qx "$category" || fail "launcher is not in $category"
done
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metainfo does not launch $id.desktop"
# German as the program speaks it; no screenshot in a domain that cannot exist.
value 'Comment\[de\]' | grep -q . || fail "launcher has no German comment"
grep -q '<summary xml:lang="de">' "$metainfo" || fail "metainfo has no German summary"
if grep -q '<image[^>]*>[^<]*\.example[/<]' "$metainfo"; then fail "metainfo shows a placeholder screenshot"; fi

exec_name=$(value Exec | cut -d' ' -f1)
launched=$root/usr/bin/$exec_name
[ -L "$launched" ] || fail "Exec=$exec_name is not a link in /usr/bin"
case $(readlink "$launched") in /*) fail "/usr/bin/$exec_name is an absolute link" ;; esac
[ "$(readlink -f "$launched")" = "$(readlink -f "$root/usr/lib/zentavo/zentavo")" ] ||
  fail "/usr/bin/$exec_name does not lead to the program folder"
[ -x "$root/usr/lib/zentavo/zentavo" ] || fail "the program is not executable"

icon=$(value Icon)
for size in 32 48 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
  [ -f "$png" ] || fail "no $size x $size icon $icon"
  file "$png" | grep -q "PNG image data, $size x $size," || fail "$png: $(file -b "$png")"
done
svg=$root/usr/share/icons/hicolor/scalable/apps/$icon.svg
file "$svg" | grep -q "SVG" || fail "no scalable icon $icon"

version=$(dpkg-deb -f "$deb" Version)
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n1)
[ "$release" = "$version" ] || fail "newest release in the metainfo is $release, the package is $version"
changelog=$(zcat "$root/usr/share/doc/zentavo/changelog.gz" | sed -n '1s/^zentavo (\([^)]*\)).*/\1/p')
[ "$changelog" = "$version" ] || fail "newest changelog entry is $changelog, the package is $version"
echo "launcher $id, icons and metadata of version $version are in order"
