#!/bin/sh
# Installs every Debian package Zentavo needs to build and run.
#   scripts/install-deps.sh            what building and running needs
#   scripts/install-deps.sh --package  that, plus what building the .deb needs
#   scripts/install-deps.sh --test     that, plus what the tests and benchmarks use
set -eu

packages="cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins libsodium-dev libxlsxwriter-dev libxcb1-dev
  fonts-liberation libreoffice-calc
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n"
# CPack's Debian generator reads ELF files with file(1) and works out the
# library dependencies with dpkg-shlibdeps (dpkg-dev); lintian checks the result.
packaging="dpkg-dev file lintian"
case "${1:-}" in
  --package)
    packages="$packages $packaging" ;;
  --test)
    packages="$packages $packaging xvfb xauth xdotool xclip pwgen python3
      desktop-file-utils appstream strace clang-format gdb
      openbox x11-utils qt6ct at-spi2-core python3-pyatspi dbus-x11
      weston qt6-wayland wl-clipboard adwaita-qt6 imagemagick" ;;
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
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
