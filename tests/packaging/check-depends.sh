#!/bin/sh
# The package depends on exactly what the program needs on this machine: the
# packages of the libraries it links, of the Qt plugins it loads (X11
# platform, ico reader for the hand) and of the font fontconfig gives it
# for "Arial" and of the slips' DejaVu fonts; and it recommends the package that provides LibreOffice Calc.
#   check-depends.sh OUT
set -eu
. "$(dirname "$0")/common.sh"

program=$root/usr/lib/zentavo/zentavo
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "no libraries found in $program"
if readelf -d "$program" | grep -qE '\((RPATH|RUNPATH)\)'; then fail "the program carries a library search path"; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
expected=$work/expected
# "name => path (address)", or "path (address)" for the dynamic loader.
libraries=$(ldd "$program" | awk '$2 == "=>" { print $1, $3; next } { n = split($1, p, "/"); print p[n], $1 }')
for library in $needed; do
  path=$(echo "$libraries" | awk -v name="$library" '$1 == name { print $2 }')
  case $path in /*) ;; *) fail "$library is not found on this machine" ;; esac
  owner=$(package_of "$path") || fail "no package owns $path"
  echo "$library: $owner"
  echo "$owner" >> "$expected"
done
for plugin in platforms/libqxcb.so imageformats/libqico.so; do
  owner=$(dpkg-query -S "*/qt6/plugins/$plugin" 2>/dev/null | head -n1 | cut -d: -f1)
  [ -n "$owner" ] || fail "no package has the Qt plugin $plugin"
  echo "$plugin: $owner"
  echo "$owner" >> "$expected"
done
for family in Arial 'DejaVu Sans Mono'; do
  font=$(fc-match -f '%{file}' "$family")
  owner=$(package_of "$font") || fail "no package owns $font"
  echo "$family ($font): $owner"
  echo "$owner" >> "$expected"
done

sort -u -o "$expected" "$expected"
field_names Depends > "$work/depends"
missing=$(comm -23 "$expected" "$work/depends")
extra=$(comm -13 "$expected" "$work/depends")
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
[ -z "$missing" ] || fail "Depends lacks: $missing"
[ -z "$extra" ] || fail "Depends has packages the program does not need: $extra"

calc=$(command -v localc || command -v soffice) || fail "LibreOffice Calc is not installed here"
owner=$(package_of "$(readlink -f "$calc")") || owner=$(package_of "$calc") || fail "no package owns $calc"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"
field_names Recommends | grep -qx "$owner" || fail "Recommends lacks $owner (provides $calc)"
field_names Recommends | grep -qx qt6-wayland || fail "Recommends lacks qt6-wayland (the window under Wayland)"
echo "the package depends on exactly what the program needs and recommends $owner"
