#!/bin/sh
# Installs every Debian package Zentavo needs to build and run.
#   scripts/install-deps.sh            what building and running needs
#   scripts/install-deps.sh --calc     that, plus LibreOffice Calc, which the
#                                      workbook export opens (a large download)
#   scripts/install-deps.sh --package  what building and checking the .deb needs
#   scripts/install-deps.sh --test     that, plus Calc and what the tests,
#                                      the checks and the benchmarks use
# Several may run apt at once: each waits up to 15 minutes for the lock.
set -eu

# What the slips need at run time, named even though the development packages
# pull them in: cairo's PDF surface, pango, libqrencode and the DejaVu fonts
# every PDF of slips embeds.
runtime="libcairo2 libpango-1.0-0 libpangocairo-1.0-0 libqrencode4 fonts-dejavu-core"
# ccache: a compiler cache, so that rebuilding the same sources (a fresh
# clone, the sanitizer build, switching branches) takes seconds.
packages="cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-qpa-plugins libsodium-dev libxlsxwriter-dev libxcb1-dev libcrypt-dev libldap-dev
  fonts-liberation qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libcairo2-dev libpango1.0-dev libqrencode-dev $runtime libqt6printsupport6 libcups2-dev"
# Recommended at run time only: the workbook export opens LibreOffice Calc.
calc="libreoffice-calc"
# CPack's Debian generator reads ELF files with file(1) and works out the
# library dependencies with dpkg-shlibdeps (dpkg-dev); lintian checks the result.
packaging="dpkg-dev file lintian"
case "${1:-}" in
  --calc)
    packages="$packages $calc" ;;
  --package)
    packages="$packages $packaging" ;;
  --test)
    # stress-ng keeps the cores busy while a test repeats (see README); clang
    # and its libFuzzer runtime make the sanitizer build with the fuzz
    # targets; lld links quicker than ld; tst_hardening runs both programs
    # under jemalloc, tcmalloc and mimalloc; diceware has the EFF word list
    # the shipped one is compared with; poppler-utils and zbar-tools read the
    # slips' PDF and QR codes back; a private cupsd (cups, cups-client) takes
    # the window's printed slips; slapd and ldap-utils load and bind the
    # accounts' LDIF in a throw-away directory.
    packages="$packages $calc $packaging xvfb xauth xdotool xclip pwgen python3
      desktop-file-utils appstream strace clang-format clang-tidy gdb stress-ng
      openbox x11-utils qt6ct at-spi2-core python3-pyatspi dbus-x11
      clang-14 libclang-rt-14-dev lld weston qt6-wayland wl-clipboard adwaita-qt6
      passwd whois zsh fish libjemalloc2 libtcmalloc-minimal4 libmimalloc2.0 diceware
      poppler-utils zbar-tools cups cups-client
      slapd ldap-utils" ;;
esac

missing=""
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing="$missing $package"
done
[ -n "$missing" ] || exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# slapd would make a directory of its own at installation: the tests start
# their own instead.
case "$missing" in
  *" slapd"*) echo "slapd slapd/no_configuration boolean true" | $SUDO debconf-set-selections ;;
esac
apt="apt-get -o DPkg::Lock::Timeout=900"
$SUDO $apt update -q
# shellcheck disable=SC2086
$SUDO $apt install -y -q --no-install-recommends $missing
