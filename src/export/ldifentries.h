#pragma once

#include "export/rowwriter.h"
#include "export/textblocks.h"

#include <QByteArray>

namespace zentavo {

// LDIF (RFC 2849) that ldapadd and slapadd read: one entry for each row of
// a name, its password and the password's crypt(3) hash, below a base DN:
//
//   # anna:password
//   dn: uid=anna,ou=people,dc=example,dc=org
//   objectClass: account
//   objectClass: simpleSecurityObject
//   uid: anna
//   userPassword: {CRYPT}$y$...
//
// account and simpleSecurityObject need nothing beyond the name and the
// hash, where a person or a POSIX account would want a surname or a user ID
// that is not known here. The directory holds the hash alone; the password
// stands in the comment above its entry, which directory tools skip, so
// that the passwords can be handed out from the same file. The name is
// escaped in the DN as RFC 4514 says, and a value LDIF cannot hold as it is
// (beyond ASCII, a leading blank, colon or <) is written in base64; the
// OpenLDAP library does both.
class LdifEntries final : public RowWriter
{
public:
    // `baseDn` must be one baseDnRefusal() takes.
    LdifEntries(ByteSink &sink, const QString &baseDn);

    // Why `dn` cannot be the entries' base, or an empty text when it can.
    static QString baseDnRefusal(const QString &dn);

    void begin() override;
    // The name, the password and its hash.
    void row(Cells cells) override;
    void finish() override { m_out.flush(); }

private:
    // One attribute's line, in base64 when its value needs it.
    void attribute(const char *type, const QByteArray &value, bool text = false);

    BlockOutput m_out;
    QByteArray m_baseDn; // UTF-8
};

} // namespace zentavo
