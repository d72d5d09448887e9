# A throw-away LDAP directory, for sourcing: Debian's slapd, its configuration,
# database and socket in DIR. `start_slapd DIR` serves dc=example,dc=org and
# ou=people in it (cn=admin binds with "secret"), sets $ldap_uri once it answers.
start_slapd() {
  mkdir -p "$1/db"
  cat >"$1/slapd.conf" <<CONF
include /etc/ldap/schema/core.schema
include /etc/ldap/schema/cosine.schema
modulepath /usr/lib/ldap
moduleload back_mdb
pidfile $1/slapd.pid
database mdb
suffix "dc=example,dc=org"
rootdn "cn=admin,dc=example,dc=org"
rootpw secret
directory $1/db
CONF
  # slapadd adds the attributes the DNs name (dc, ou).
  printf 'dn: %s\nobjectClass: dcObject\nobjectClass: organization\no: example\n\ndn: ou=people,%s\nobjectClass: %s\n' \
    dc=example,dc=org dc=example,dc=org organizationalUnit | slapadd -q -f "$1/slapd.conf"
  ldap_uri="ldapi://$(echo "$1/ldapi" | sed 's|/|%2F|g')"
  slapd -f "$1/slapd.conf" -h "$ldap_uri"
  tries=0
  until ldapwhoami -x -H "$ldap_uri" >/dev/null 2>&1; do
    tries=$((tries + 1)) && [ "$tries" -lt 300 ] && sleep 0.1 || { echo "slapd did not answer" >&2; return 1; }
  done
}
stop_slapd() { kill "$(cat "$1/slapd.pid")"; }
