#include "cli/accounts.h"

#include "cli/outputs.h"
#include "core/wipe.h"
#include "export/streamedrows.h"

#include <QtConcurrent/QtConcurrentMap>
#include <cerrno>
#include <crypt.h>
#include <cstring>
#include <vector>

namespace zentavo::cli {

ShadowHasher::ShadowHasher(CryptMethod method) : m_prefix(method == CryptMethod::Sha512 ? "$6$" : "$y$") {}

QString ShadowHasher::hash(QStringView password) const
{
    // A salt of the library's default cost, from the system's random source.
    char setting[CRYPT_GENSALT_OUTPUT_SIZE];
    if (!crypt_gensalt_rn(m_prefix, 0, nullptr, 0, setting, sizeof setting))
        throw OutputFailed{
            QStringLiteral("no salt for the hash: %1").arg(QString::fromLocal8Bit(std::strerror(errno)))};
    // The bytes a login will hash are the UTF-8 of what is typed.
    QByteArray phrase = password.toUtf8();
    // The library's work area for one hash; it keeps a copy of the password.
    const auto data = std::make_unique<crypt_data>();
    const char *hashed = crypt_rn(phrase.constData(), setting, data.get(), int(sizeof(crypt_data)));
    const int error = errno;
    wipe(phrase);
    QString result = hashed && hashed[0] != '*' ? QString::fromLatin1(hashed) : QString();
    sodium_memzero(data.get(), sizeof(crypt_data));
    if (result.isEmpty())
        throw OutputFailed{QStringLiteral("the password could not be hashed: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(error)))};
    return result;
}

namespace {

// The hashes of a batch are made side by side, one on each processor.
constexpr qsizetype kHashedTogether = 256;

} // namespace

AccountRows::AccountRows(RowWriter &writer, const QStringList &names, const ShadowHasher *hasher)
    : m_writer(writer), m_names(names), m_hasher(hasher)
{
}

AccountRows::~AccountRows()
{
    for (Waiting &waiting : m_waiting)
        wipe(waiting.password);
}

QStringList AccountRows::titles(bool hashed)
{
    return hashed ? columnTitles({Column::Name, Column::Password, Column::Hash})
                  : columnTitles({Column::Name, Column::Password});
}

void AccountRows::append(const PasswordBatch &batch)
{
    for (qsizetype r = 0; r < batch.rows; ++r) {
        if (!m_hasher) {
            write(passwordCell(batch, r), {});
            continue;
        }
        m_waiting.push_back({passwordCell(batch, r).toString(), {}, {}});
        if (qsizetype(m_waiting.size()) >= kHashedTogether)
            writeWaiting();
    }
}

void AccountRows::finish()
{
    writeWaiting();
}

void AccountRows::writeWaiting()
{
    QtConcurrent::blockingMap(m_waiting, [this](Waiting &waiting) {
        try {
            waiting.hash = m_hasher->hash(waiting.password);
        } catch (const OutputFailed &failure) {
            waiting.error = failure.message;
        }
    });
    for (Waiting &waiting : m_waiting) {
        if (!waiting.error.isEmpty())
            throw OutputFailed{waiting.error};
        write(waiting.password, waiting.hash);
        wipe(waiting.password);
    }
    m_waiting.clear();
}

void AccountRows::write(QAnyStringView password, QStringView hash)
{
    const QAnyStringView cells[] = {m_names.at(m_next++), password, hash};
    m_writer.row(Cells(cells, m_hasher ? 3 : 2));
}

} // namespace zentavo::cli
