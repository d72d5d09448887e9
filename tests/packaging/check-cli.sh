#!/bin/sh
# The command line's own package: lintian finds no error and no warning; it
# depends on exactly the packages of the libraries its program links, none of
# them a desktop one, and the fonts of its slips; the installed program, its
# completions and manual page work.
#   check-cli.sh OUT
set -eu
. "$(dirname "$0")/common.sh"
set -- "$out"/deb/zentavo-cli_*.deb
deb=$1
program=$root/usr/bin/zentavo-cli

status=0
lintian --display-info --display-experimental --pedantic \
  --fail-on error,warning "$deb" > "$out/lintian-cli.txt" 2>&1 || status=$?
grep -v 'running with root privileges' "$out/lintian-cli.txt" || true
[ "$status" -eq 0 ] || fail "lintian found errors or warnings in zentavo-cli"

needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
echo "links: $needed"
if echo "$needed" | grep -qE 'libQt6(Gui|Widgets)|libX|libGL|libxcb'; then fail "zentavo-cli links a desktop library"; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
libraries=$(ldd "$program" | awk '$2 == "=>" { print $1, $3; next } { n = split($1, p, "/"); print p[n], $1 }')
for library in $needed; do
  path=$(echo "$libraries" | awk -v name="$library" '$1 == name { print $2 }')
  case $path in /*) ;; *) fail "$library is not found on this machine" ;; esac
  package_of "$path" >> "$work/expected" || fail "no package owns $path"
done
font=$(fc-match -f '%{file}' 'DejaVu Sans Mono')
package_of "$font" >> "$work/expected" || fail "no package owns $font"
sort -u -o "$work/expected" "$work/expected"
field_names Depends > "$work/depends"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
[ -z "$(comm -3 "$work/expected" "$work/depends")" ] ||
  fail "Depends differs from the libraries' packages: $(comm -3 "$work/expected" "$work/depends" | tr '\n' ' ')"

mkdir -p "$work/home" "$work/config"
cd "$work"
run() { HOME=$work/home XDG_CONFIG_HOME=$work/config "$program" "$@"; }
run --version | grep -qx "zentavo-cli $(dpkg-deb -f "$deb" Version)" || fail "--version does not give the package's version"
[ "$(run -n 5 -l 12 | grep -cE '^[a-zA-Z0-9]{12}$')" -eq 5 ] || fail "five passwords of 12 were not made"
run -n 3 --format xlsx -o made.xlsx && [ "$(stat -c %a made.xlsx)" = 600 ] || fail "no private workbook"
run -n 3 --format slips -o slips.pdf && [ "$(stat -c %a slips.pdf)" = 600 ] || fail "no private slips"
[ -z "$(ls -A "$work/config")" ] || fail "the program wrote settings"
for completion in bash-completion/completions/zentavo-cli zsh/vendor-completions/_zentavo-cli \
  fish/vendor_completions.d/zentavo-cli.fish; do
  [ -s "$root/usr/share/$completion" ] || fail "no shell completion $completion"
done
manual=$root/usr/share/man/man1/zentavo-cli.1.gz
[ -f "$manual" ] || fail "no manual page"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" 2>&1 >/dev/null) || true
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
echo "zentavo-cli: lintian-clean, links no desktop library, runs from its package"
