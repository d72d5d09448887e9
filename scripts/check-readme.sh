#!/bin/sh
# Every command in README.md's shell blocks works as written on a fresh clone
# once scripts/test.sh has built it. scripts/test.sh runs this at the end:
#   scripts/check-readme.sh [build folder] [sanitizer build folder]
# A block is run where running it leaves the machine as it was, in a
# temporary folder with settings, home and runtime folders of its own:
# zentavo-cli's examples (from the build, on the search path as the package
# installs it, with a pupils.txt and a roster for each platform of their
# own), the accounts handed to chpasswd and newusers (as root: in a
# throw-away root, where each stored hash must be that of the password
# handed out) and to ldapadd (a throw-away slapd, where each account must
# bind with it), and removing what Zentavo wrote.
# The others install packages, start the window or run for minutes: each of
# their programs must be there and take what the block gives it (apt-get
# simulates the installs, ctest runs the test it would repeat once, the fuzz
# target replays its seeds, the window prints its version). A block that no
# check knows fails, so a new command cannot go unchecked.
set -eu
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
asan=${2:-build-asan}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. tests/support/slapd.sh
# Marked in a file: a check may run in a subshell.
fail() {
  echo "README.md: $*" >&2
  touch "$work/failed"
}

# The shell blocks, one file each, in order (indented ones too).
awk -v dir="$work" '/^ *```sh$/ { n++; on = 1; next } /^ *```$/ { on = 0 } on { sub(/^ +/, ""); print > (dir "/block" n) }' README.md

# A sandbox: zentavo-cli and zentavo from the build, and folders of its own.
sandbox() {
  rm -rf "$work/box" && mkdir -p "$work/box/home" "$work/box/config" "$work/box/runtime" "$work/box/bin"
  printf 'anna\nbert\nclara\n' >"$work/box/pupils.txt"
  # The rosters of the platforms' examples, their templates cut short.
  printf '\357\273\277First Name [Required],Last Name [Required],Email Address [Required],Password [Required],Org Unit Path [Required]\r\nAnna,Berg,anna@school.example,,/\r\n' >"$work/box/google.csv"
  printf 'version:v1.0\nName [displayName] Required,User name [userPrincipalName] Required,Initial password [passwordProfile] Required,Block sign in (Yes/No) [accountEnabled] Required\nAnna Berg,anna@school.example,,No\n' >"$work/box/entra.csv"
  printf 'username,password,firstname,lastname,email\nanna,,Anna,Berg,anna@school.example\n' >"$work/box/moodle.csv"
}
inbox() {
  (cd "$work/box" && HOME="$work/box/home" XDG_CONFIG_HOME="$work/box/config" \
    XDG_RUNTIME_DIR="$work/box/runtime" PATH="$work/box/bin:$build:$PATH" sh -eu "$1")
}

# zentavo-cli's examples; with chpasswd or newusers, only as root and in a
# throw-away root; with ldapadd, into a throw-away slapd, and the password
# handed out must be the one each account now has.
check_cli() {
  sandbox
  if grep -qE 'chpasswd|newusers' "$1"; then
    if [ "$(id -u)" -ne 0 ] || ! command -v mkpasswd >/dev/null; then
      echo "README.md: skipped (needs root and mkpasswd): $(head -n1 "$1")"
      return
    fi
    sh tests/support/throwaway-root.sh "$work/box/root"
    if grep -q chpasswd "$1"; then
      for name in anna bert clara; do useradd -R "$work/box/root" "$name"; done
    fi
    printf '#!/bin/sh\nexec %s -R "%s" "$@"\n' "$(command -v chpasswd)" "$work/box/root" >"$work/box/bin/chpasswd"
    # newusers 4.13 with --root takes its first argument for the file, and
    # opens it inside the root: the file comes on standard input.
    printf '#!/bin/sh\n[ $# -eq 0 ] || exec <"$1"\nexec %s --root "%s"\n' "$(command -v newusers)" \
      "$work/box/root" >"$work/box/bin/newusers"
    chmod +x "$work/box/bin/chpasswd" "$work/box/bin/newusers"
  fi
  if grep -q ldapadd "$1"; then
    if [ ! -x /usr/sbin/slapd ] || ! command -v ldapadd >/dev/null; then
      echo "README.md: skipped (needs slapd and ldap-utils): $(head -n1 "$1")"
      return
    fi
    (PATH=$PATH:/usr/sbin && start_slapd "$work/ldap") || { fail "no slapd"; return; }
    ldap_uri="ldapi://$(echo "$work/ldap/ldapi" | sed 's|/|%2F|g')"
    # As typed, but with the throw-away directory's password instead of a prompt.
    printf '#!/bin/sh\nfor a; do shift; [ "$a" = -W ] || set -- "$@" "$a"; done\nexec %s -H "%s" -w secret "$@"\n' \
      "$(command -v ldapadd)" "$ldap_uri" >"$work/box/bin/ldapadd"
    chmod +x "$work/box/bin/ldapadd"
  fi
  inbox "$1" >"$work/box/out" || fail "failed: $(head -n1 "$1")"
  sed -n 's/.* -o \([^ ]*\).*/\1/p' "$1" | grep -v '^made\.' | while read -r made; do
    [ -s "$work/box/$made" ] || fail "wrote no $made: $(grep -F -- "-o $made" "$1")"
  done
  grep -qE 'chpasswd|newusers|ldapadd' "$1" || return 0
  [ "$(wc -l <"$work/box/handout.txt" 2>/dev/null)" = 3 ] || fail "the hand-out does not hold every account"
  while IFS=: read -r name password; do
    if grep -q ldapadd "$1"; then
      ldapwhoami -x -H "$ldap_uri" -D "uid=$name,ou=people,dc=example,dc=org" -w "$password" >/dev/null ||
        fail "$name cannot bind with the handed-out password"
    else
      stored=$(grep "^$name:" "$work/box/root/etc/shadow" | cut -d: -f2)
      [ "$(mkpasswd "$password" "$stored" 2>/dev/null)" = "$stored" ] || fail "$name's handed-out password is not the one set"
    fi
  done <"$work/box/handout.txt"
  if grep -q ldapadd "$1"; then stop_slapd "$work/ldap"; fi
}

# Every script a block names is there and is shell.
check_scripts() {
  grep -o '^scripts/[a-z-]*\.sh' "$1" | while read -r script; do
    if [ ! -x "$script" ] || ! sh -n "$script"; then fail "no script $script"; fi
  done
  if grep -q -- '--calc' "$1" && ! grep -q -- '--calc' scripts/run.sh; then fail "run.sh takes no --calc"; fi
}

check_install() {
  debs="$build/tests/packaging/package/deb"
  if ! ls "$debs"/*.deb >/dev/null 2>&1; then
    echo "README.md: skipped (no package built): $(head -n1 "$1")"
    return
  fi
  while read -r apt action target _; do
    if [ "$action" = remove ]; then
      # Simulated, nothing was installed: the name must be that of a package made.
      for deb in "$debs"/*.deb; do [ "$(dpkg-deb -f "$deb" Package)" != "$target" ] || continue 2; done
      fail "no package is named $target"
      continue
    fi
    # The file package_build made as package.sh does.
    pattern=$(basename "$target")
    for package in "$debs"/$pattern; do :; done
    [ -e "$package" ] || fail "no package $target"
    "$apt" -s -qq "$action" "$package" >/dev/null || fail "apt-get cannot $action $target"
  done <"$1"
}

check_removal() {
  sandbox
  mkdir -p "$work/box/config/Veltrano" "$work/box/runtime/zentavo-workbooks/x"
  touch "$work/box/config/Veltrano/Zentavo.ini" "$work/box/config/Veltrano/Zentavo.ini.damaged" \
    "$work/box/config/Veltrano/Zentavo.ini.damaged.1"
  inbox "$1" || fail "removing what Zentavo wrote failed"
  if [ -e "$work/box/config/Veltrano" ] || [ -e "$work/box/runtime/zentavo-workbooks" ]; then
    fail "something Zentavo wrote is left"
  fi
}

# Repeating a unit test under load: the test is there and runs (once, not
# twenty times).
check_repeat() {
  check_scripts "$1"
  command -v stress-ng >/dev/null || fail "no stress-ng"
  if [ ! -d "$asan" ]; then
    echo "README.md: skipped (no sanitizer build): $(tail -n1 "$1")"
    return
  fi
  ran=$(grep '^(cd build-asan && ctest' "$1" | sed "s|cd build-asan|cd $asan|; s|until-fail:[0-9]*|until-fail:1|" | sh) ||
    true
  echo "$ran" | grep -q '100% tests passed, 0 tests failed out of [1-9]' ||
    fail "ctest does not find or pass the test: $(tail -n1 "$1")"
}

check_fuzz() {
  [ -n "$(ls tests/fuzz/settings)" ] || fail "no seeds in tests/fuzz/settings"
  fuzz=$(grep -o 'build-asan/[^ ]*' "$1" | sed "s|^build-asan|$asan|")
  if [ ! -x "$fuzz" ]; then
    echo "README.md: skipped (no fuzz target built): $fuzz"
    return
  fi
  ASAN_OPTIONS=detect_leaks=0 "$fuzz" -runs=0 tests/fuzz/settings >/dev/null 2>&1 || fail "$fuzz does not run"
}

check_programs() {
  while read -r first rest; do
    case "$first" in
      LANGUAGE=*) env "$first" QT_QPA_PLATFORM=offscreen "$build/zentavo" --version >/dev/null ||
        fail "zentavo does not start: $first $rest" ;;
      build/*) [ -x "$build/${first#build/}" ] || fail "not built: $first" ;;
      *) fail "no check for: $first $rest" ;;
    esac
  done <"$1"
}

for block in "$work"/block*; do
  sh -n "$block" || fail "not shell: $(head -n1 "$block")"
  case "$(head -n1 "$block")" in
    zentavo-cli*) check_cli "$block" ;;
    scripts/test-sanitized.sh*) check_repeat "$block" ;;
    scripts/*) check_scripts "$block" ;;
    apt-get*) check_install "$block" ;;
    rm\ *) check_removal "$block" ;;
    mkdir\ -p\ /tmp/corpus*) check_fuzz "$block" ;;
    *) check_programs "$block" ;;
  esac
done
[ ! -e "$work/failed" ] || exit 1
echo "README.md: every command checked"
