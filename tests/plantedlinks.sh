#!/bin/sh
# Two users for real. The second plants links and files in a shared sticky
# folder, as another user of the machine could; the first then saves the
# passwords to each of those names (tst_plantedlinks), is told why not, and
# nothing planted changes. So too in a folder of the first user's that a
# group both belong to may change, and in a folder of the second user's
# that the first may write to through that group. Needs root to make the
# users; skipped otherwise.
#   plantedlinks.sh path/to/tst_plantedlinks
set -eu

test_binary=$1
[ "$(id -u)" -eq 0 ] || { echo "not root: no second user can be made here"; exit 77; }
first="ztfirst$$" second="ztsecond$$" both="ztboth$$"
work=$(mktemp -d)
finish() {
  userdel "$first" 2>/dev/null || true
  userdel "$second" 2>/dev/null || true
  groupdel "$both" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM
useradd -M -s /usr/sbin/nologin "$first"
useradd -M -s /usr/sbin/nologin "$second"
groupadd "$both"
usermod -a -G "$both" "$first"
usermod -a -G "$both" "$second"
chmod 755 "$work"

# Shared through a group: the first user's, and the second user's.
install -d -o "$first" -g "$both" -m 2770 "$work/grouped"
install -d -o "$second" -g "$both" -m 2775 "$work/theirs"

# Shared like /tmp: everyone may add names, no one may remove another's.
shared="$work/shared"
mkdir -m 1777 "$shared"
runuser -u "$second" -- sh -c '
  umask 0
  cd "$1"
  mkdir -m 0777 att
  echo loot >att/loot.txt
  echo theirs >theirs.txt
  ln -s att/loot.txt passwords.txt
  ln -s att/nothing.txt dangling.txt
  ln -s /etc/hostname system.txt' sh "$shared"

# The first user's private places, and a link of theirs into the second's
# folder.
home="$work/home"
mkdir -p "$home/config" "$home/runtime"
chmod 700 "$home/runtime"
ln -s "$shared/att/loot.txt" "$home/my-link.txt"
chown -R -h "$first" "$home"

runuser -u "$first" -- env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" \
  TMPDIR="$home" QT_QPA_PLATFORM=offscreen \
  ZENTAVO_PLANTED="$shared/passwords.txt:$shared/dangling.txt:$shared/theirs.txt:$shared/att/loot.txt:$shared/system.txt:$home/my-link.txt:$work/grouped/out.txt:$work/theirs/out.txt" \
  "$test_binary"
# And the files themselves, as the second user sees them.
[ "$(cat "$shared/att/loot.txt")" = loot ] && [ "$(cat "$shared/theirs.txt")" = theirs ] &&
  [ ! -e "$shared/att/nothing.txt" ] && [ -z "$(ls -A "$work/grouped")$(ls -A "$work/theirs")" ] ||
  { echo "a planted file changed"; ls -la "$shared" "$shared/att" "$work/grouped" "$work/theirs"; exit 1; }
echo "every planted name was refused and stayed as it was"
