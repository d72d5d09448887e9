# A throw-away LDAP directory, for sourcing: Debian's slapd with its own
# configuration and database in a folder, listening on a socket there only.
#   start_slapd DIR SUFFIX    starts it with SUFFIX and ou=people below it;
#                             cn=admin,SUFFIX binds with the password "secret";
#                             sets $ldap_uri; returns once it answers
#   stop_slapd DIR            ends it
start_slapd() {
  mkdir -p "$1/db"
  cat >"$1/slapd.conf" <<CONF
include /etc/ldap/schema/core.schema
include /etc/ldap/schema/cosine.schema
include /etc/ldap/schema/nis.schema
include /etc/ldap/schema/inetorgperson.schema
modulepath /usr/lib/ldap
moduleload back_mdb
pidfile $1/slapd.pid
database mdb
suffix "$2"
rootdn "cn=admin,$2"
rootpw secret
directory $1/db
CONF
  top=${2%%,*}
  printf 'dn: %s\nobjectClass: dcObject\nobjectClass: organization\no: zentavo\ndc: %s\n\n' "$2" "${top#dc=}" >"$1/base.ldif"
  printf 'dn: ou=people,%s\nobjectClass: organizationalUnit\nou: people\n' "$2" >>"$1/base.ldif"
  slapadd -q -f "$1/slapd.conf" -l "$1/base.ldif"
  ldap_uri="ldapi://$(echo "$1/ldapi" | sed 's|/|%2F|g')"
  slapd -f "$1/slapd.conf" -h "$ldap_uri"
  tries=0
  until ldapwhoami -x -H "$ldap_uri" >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { echo "slapd did not answer" >&2; return 1; }
    sleep 0.1
  done
}
stop_slapd() {
  kill "$(cat "$1/slapd.pid")"
}
