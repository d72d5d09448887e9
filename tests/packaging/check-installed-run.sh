#!/bin/sh
# The program as the package installs it starts (offscreen), stays up, and
# takes its optional files from its own program folder: the hand the package
# ships, a skin put into x/o.cjs (the example skin from the package's
# documentation, which must apply without a complaint from Qt) and a splash
# picture put into Splash/. It is started through the /usr/bin link from an
# unrelated folder, with its own home, settings and runtime folders, and
# watched with strace. Its settings land under XDG_CONFIG_HOME.
#   check-installed-run.sh OUT
set -eu
. "$(dirname "$0")/common.sh"

run=$out/run
rm -rf "$run"
mkdir -p "$run/home" "$run/config" "$run/runtime" "$run/elsewhere"
chmod 700 "$run/runtime"
cp -a "$root" "$run/root"
program_dir=$(cd "$run/root/usr/lib/zentavo" && pwd -P)
[ -f "$program_dir/HAND-M.CUR" ] || fail "the package has no HAND-M.CUR beside the program"
mkdir "$program_dir/x"
cp "$run/root/usr/share/doc/zentavo/examples/o.cjs" "$program_dir/x/o.cjs"
mkdir "$program_dir/Splash"
cp "$run/root/usr/share/icons/hicolor/256x256/apps/"*.png "$program_dir/Splash/picture.png"

manual=$(zcat "$run/root/usr/share/man/man1/zentavo.1.gz" | sed 's/\\-/-/g') # names every option --help lists
for option in $(QT_QPA_PLATFORM=offscreen "$run/root/usr/bin/zentavo" --help | grep -Eo -- '(^| )--?[a-z-]+'); do
  echo "$manual" | grep -qF -- "$option" || fail "the manual page does not name $option, which --help lists"
done
cd "$run/elsewhere"
HOME=$run/home XDG_CONFIG_HOME=$run/config XDG_RUNTIME_DIR=$run/runtime QT_QPA_PLATFORM=offscreen \
  ZENTAVO_BROWSER=true \
  strace -f -qq -o "$run/trace" -e trace=openat,open,stat,lstat,newfstatat,statx,access,faccessat,faccessat2 \
  "$run/root/usr/bin/zentavo" > "$run/output" 2>&1 &
tracer=$!

# Give it time to start up and settle into its event loop.
pid=""
for _ in 1 2 3 4 5 6 7 8 9 10; do
  sleep 0.5
  [ -n "$pid" ] || pid=$(head -n1 "$run/trace" 2>/dev/null | cut -d' ' -f1)
done
[ -n "$pid" ] || { kill "$tracer" 2>/dev/null; fail "the program did not start"; }
if ! kill -0 "$pid" 2>/dev/null; then
  wait "$tracer" || true
  cat "$run/output"
  tail -n 5 "$run/trace"
  fail "the program ended by itself within 5 seconds"
fi
kill -TERM "$pid"
status=0
wait "$tracer" || status=$?
cat "$run/output"

# SIGTERM, as at the end of a session, closes the window: the program ends
# normally, and strace with the program's status.
grep -qE "^$pid +--- SIGTERM " "$run/trace" && [ "$status" -eq 0 ] ||
  { tail -n 5 "$run/trace"; fail "the program did not end with status 0 on our SIGTERM (status $status)"; }

opened() {  # a successful open of the file, for reading
  grep -qE "open(at)?\(.*\"$1\", O_RDONLY[^)]*\) = [0-9]+" "$run/trace"
}
opened "$program_dir/HAND-M.CUR" || fail "the program did not open $program_dir/HAND-M.CUR"
opened "$program_dir/x/o.cjs" || fail "the program did not open $program_dir/x/o.cjs"
opened "$program_dir/Splash/picture.png" || fail "the program did not open $program_dir/Splash/picture.png"
if grep -qi "could not parse" "$run/output"; then fail "Qt could not parse the example skin"; fi
[ -f "$run/config/Veltrano/Zentavo.ini" ] || fail "no settings in \$XDG_CONFIG_HOME/Veltrano/Zentavo.ini"
[ -z "$(ls -A "$run/home")" ] || { ls -lAR "$run/home"; fail "the program wrote into the home folder"; }
echo "the installed program started from $program_dir, used HAND-M.CUR, x/o.cjs and Splash/ there"
echo "and kept its settings in \$XDG_CONFIG_HOME/Veltrano/Zentavo.ini"
