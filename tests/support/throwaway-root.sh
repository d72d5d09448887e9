#!/bin/sh
# Makes DIR a throw-away root for chpasswd -R and newusers --root: copies of
# the account files, an empty /home, and what newusers needs inside it to
# set passwords through PAM once it has entered DIR (the PAM configuration,
# pam_unix and the libraries it loads then). Debian 12's newusers takes
# --root but refuses -R.
#   throwaway-root.sh DIR
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
