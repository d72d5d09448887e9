#include "export/ldifentries.h"

#include "core/failure.h"

#include <QCoreApplication>
#include <ldap.h>
#include <ldif.h>
#include <memory>

namespace zentavo {

namespace {

// `name` as the value of a uid=... RDN, escaped where RFC 4514 asks for it.
QByteArray uidRdn(const QByteArray &name)
{
    LDAPAVA ava{};
    ava.la_attr.bv_val = const_cast<char *>("uid");
    ava.la_attr.bv_len = 3;
    ava.la_value.bv_val = const_cast<char *>(name.constData());
    ava.la_value.bv_len = ber_len_t(name.size());
    ava.la_flags = LDAP_AVA_STRING;
    LDAPAVA *rdn[] = {&ava, nullptr};
    char *text = nullptr;
    // Pretty: UTF-8 stays as it is rather than escaped byte by byte.
    if (ldap_rdn2str(rdn, &text, LDAP_DN_FORMAT_LDAPV3 | LDAP_DN_PRETTY) != LDAP_SUCCESS || !text)
        throw Failure(QCoreApplication::translate("zentavo::LdifEntries", "no DN for the name %1")
                          .arg(QString::fromUtf8(name)));
    QByteArray result(text);
    ldap_memfree(text);
    return result;
}

} // namespace

LdifEntries::LdifEntries(ByteSink &sink, const QString &baseDn)
    : m_out(sink, QStringConverter::Utf8), m_baseDn(baseDn.toUtf8())
{
}

QString LdifEntries::baseDnRefusal(const QString &dn)
{
    LDAPDN parsed = nullptr;
    const int status = ldap_str2dn(dn.toUtf8().constData(), &parsed, LDAP_DN_FORMAT_LDAPV3);
    const bool empty = !parsed;
    ldap_dnfree(parsed);
    if (status != LDAP_SUCCESS)
        return QCoreApplication::translate("zentavo::LdifEntries", "\"%1\" is no distinguished name (such as "
                                                                   "ou=people,dc=example,dc=org): %2")
            .arg(dn, QString::fromUtf8(ldap_err2string(status)));
    if (empty)
        return QCoreApplication::translate("zentavo::LdifEntries",
                                           "the base DN is empty: name the entry the accounts go below");
    return {};
}

void LdifEntries::begin()
{
    m_out.appendAscii(QLatin1StringView("version: 1\n"));
}

void LdifEntries::row(Cells cells)
{
    Q_ASSERT(cells.size() == 3);
    const QByteArray name = cells[0].toString().toUtf8();
    m_out.appendAscii(QLatin1StringView("\n# "));
    m_out.append(cells[0]);
    m_out.appendAscii(':');
    m_out.append(cells[1]);
    m_out.appendAscii('\n');
    attribute("dn", uidRdn(name) + ',' + m_baseDn);
    m_out.appendAscii(QLatin1StringView("objectClass: account\nobjectClass: simpleSecurityObject\n"));
    attribute("uid", name);
    // The library would write any userPassword in base64, as it cannot
    // know the value is a hash; a crypt(3) string is plain ASCII.
    attribute("userPassword", "{CRYPT}" + cells[2].toString().toLatin1(), true);
    m_out.writeIfFull();
}

void LdifEntries::attribute(const char *type, const QByteArray &value, bool text)
{
    // A line each, unwrapped: grep and a reader find a hash or a DN whole.
    const std::unique_ptr<char, void (*)(void *)> line(
        ldif_put_wrap(text ? LDIF_PUT_TEXT : LDIF_PUT_VALUE, type, value.constData(), ber_len_t(value.size()),
                      LDIF_LINE_WIDTH_MAX),
        ber_memfree);
    if (!line)
        throw Failure(QCoreApplication::translate("zentavo::LdifEntries", "not enough memory for LDIF"));
    m_out.appendAscii(QLatin1StringView(line.get()));
}

} // namespace zentavo
