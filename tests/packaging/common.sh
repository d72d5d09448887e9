# Shared by the package checks: the package built by build-package.sh.
#   . common.sh OUT
export LC_ALL=C
out=$1
set -- "$out"/deb/zentavo_*.deb
deb=$1
root=$out/root
[ -f "$deb" ] && [ -d "$root" ] || { echo "no package in $out: run the package_build test first"; exit 1; }

fail() {
  echo "FAIL: $*"
  exit 1
}

# Package names in a Depends-style field, without versions or alternatives' bars.
field_names() {
  dpkg-deb -f "$deb" "$1" | tr ',|' '\n\n' | sed -e 's/(.*)//' -e 's/:.*//' -e 's/[[:space:]]//g' |
    grep -v '^$' | sort -u
}

# The package that installed a file on this machine (with or without /usr,
# as merged-/usr systems register some libraries under /lib).
package_of() {
  for path in "$1" "${1#/usr}" "/usr$1"; do
    owner=$(dpkg-query -S "$path" 2>/dev/null | head -n1) || continue
    [ -n "$owner" ] && { echo "${owner%%:*}" | sed 's/, .*//'; return 0; }
  done
  return 1
}
