#!/bin/sh
# throwaway-root.sh DIR: a root for chpasswd -R and newusers --root (Debian
# 12's refuses -R): the account files, /home, and what newusers needs in it
# to set passwords through PAM (its configuration, pam_unix and its libraries).
set -eu
root=$1
mkdir -p "$root/etc" "$root/home" "$root/usr/lib"
ln -s usr/lib "$root/lib"
cp -a /etc/passwd /etc/shadow /etc/group /etc/gshadow /etc/login.defs /etc/pam.d "$root/etc/"
modules=$(dirname "$(find /usr/lib -name pam_unix.so -print -quit)")
for file in "$modules/pam_unix.so" "$modules/pam_deny.so" "$modules/pam_permit.so" \
  $(ldd "$modules/pam_unix.so" | awk '$2 == "=>" { print $3 }'); do
  file=/usr${file#/usr} # /lib is /usr/lib
  mkdir -p "$root$(dirname "$file")"
  cp -L "$file" "$root$file"
done
