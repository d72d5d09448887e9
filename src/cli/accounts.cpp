#include "cli/accounts.h"

#include "core/failure.h"
#include "core/wipe.h"
#include "export/paddedcolumns.h"
#include "export/workbook.h"

#include <QtConcurrent/QtConcurrentMap>
#include <cerrno>
#include <crypt.h>
#include <cstring>
#include <vector>

namespace zentavo::cli {

namespace {

QString nameTitle()
{
    return QStringLiteral("Name");
}

QString hashTitle()
{
    return QStringLiteral("Hash");
}

} // namespace

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

// Text gathered for the output, in the encoding of each format.
class AccountRows final : public RowFormat
{
public:
    AccountRows(Format format, DescriptorOutput &out, Workbook *workbook, const QStringList &names,
                ShadowHasher *hasher)
        : m_format(format),
          // The window writes its text file in the locale's encoding.
          m_out(out, format == Format::Text ? QStringConverter::System : QStringConverter::Utf8),
          m_workbook(workbook), m_names(names), m_hasher(hasher)
    {
        QStringList titles{nameTitle(), passwordTitle()};
        if (hasher)
            titles << hashTitle();
        if (format == Format::Csv)
            csvRecord(titles);
        if (format == Format::Text) {
            for (const QString &title : titles)
                m_widths.push_back(title.size());
            m_rows.push_back(titles);
        }
        if (format == Format::Workbook)
            guard([&] { m_workbook->setText(0, 0, u"Results"); });
    }

    ~AccountRows() override
    {
        for (QStringList &row : m_rows)
            for (QString &cell : row)
                wipe(cell);
        for (Waiting &waiting : m_waiting)
            wipe(waiting.password);
    }

    void row(qint32, QStringView password) override
    {
        if (!m_hasher) {
            write(m_names.at(m_next), password, QString());
            return;
        }
        // The hashes of a batch are made side by side, one on each processor.
        m_waiting.push_back({password.toString(), {}, {}});
        if (qsizetype(m_waiting.size()) >= kBatch)
            writeWaiting();
    }

    void finish() override
    {
        writeWaiting();
        finishFormat();
    }

private:
    struct Waiting
    {
        QString password;
        QString hash;
        QString error;
    };
    static constexpr qsizetype kBatch = 256;

    void writeWaiting()
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
            write(m_names.at(m_next), waiting.password, waiting.hash);
            wipe(waiting.password);
        }
        m_waiting.clear();
    }

    void write(const QString &name, QStringView password, const QString &hash)
    {
        ++m_next;
        switch (m_format) {
        case Format::Plain:
            // As chpasswd reads them: name:password, then the hash.
            m_out.append(name);
            m_out.append(QLatin1StringView(":"));
            m_out.append(password);
            if (m_hasher) {
                m_out.append(QLatin1StringView(":"));
                m_out.append(hash);
            }
            m_out.append(QLatin1StringView("\n"));
            m_out.writeIfFull();
            break;
        case Format::Csv: {
            QStringList record{name, password.toString()};
            if (m_hasher)
                record << hash;
            csvRecord(record);
            for (QString &cell : record)
                wipe(cell);
            break;
        }
        case Format::Text: {
            // The columns' widths are known once every row is made.
            QStringList cells{name, password.toString()};
            if (m_hasher)
                cells << hash;
            for (std::size_t c = 0; c < m_widths.size(); ++c)
                m_widths[c] = std::max(m_widths[c], cells[qsizetype(c)].size());
            m_rows.push_back(std::move(cells));
            break;
        }
        case Format::Workbook:
            guard([&] {
                m_workbook->setText(m_next, 0, name);
                m_workbook->setText(m_next, 1, password);
                if (m_hasher)
                    m_workbook->setText(m_next, 2, hash);
            });
            break;
        }
    }

    void finishFormat()
    {
        if (m_format == Format::Workbook) {
            guard([&] {
                m_workbook->fitColumns();
                m_workbook->save();
            });
            return;
        }
        QString line;
        for (const QStringList &row : m_rows) {
            line.clear();
            for (std::size_t c = 0; c < m_widths.size(); ++c) {
                const qsizetype start = line.size();
                line.append(row[qsizetype(c)]);
                appendPadded(line, start, m_widths[c]);
            }
            line.append(QLatin1StringView("\r\n"));
            m_out.append(line);
            m_out.writeIfFull();
        }
        wipe(line);
        m_out.flush();
    }

    // RFC 4180: a field is quoted when it holds a comma, a quote or a line break.
    void csvRecord(const QStringList &fields)
    {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QString &text = fields[i];
            if (i > 0)
                m_out.append(QLatin1StringView(","));
            const bool quoted = std::any_of(text.begin(), text.end(), [](QChar c) {
                return c == u',' || c == u'"' || c == u'\r' || c == u'\n';
            });
            if (!quoted) {
                m_out.append(text);
                continue;
            }
            QString field = QLatin1Char('"') +
                            QString(text).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
            m_out.append(field);
            wipe(field);
        }
        m_out.append(QLatin1StringView("\r\n"));
        m_out.writeIfFull();
    }

    template <typename Body> static void guard(Body &&body)
    {
        try {
            const LibraryKeptQuiet quiet;
            body();
        } catch (const Failure &failure) {
            throw OutputFailed{failure.description()};
        }
    }

    Format m_format;
    BlockOutput m_out;
    Workbook *m_workbook;
    const QStringList &m_names;
    ShadowHasher *m_hasher;
    qsizetype m_next = 0;
    std::vector<qsizetype> m_widths;
    std::vector<QStringList> m_rows;
    std::vector<Waiting> m_waiting;
};

} // namespace

std::unique_ptr<RowFormat> accountsFormat(Format format, DescriptorOutput &out, Workbook *workbook,
                                          const QStringList &names, ShadowHasher *hasher)
{
    return std::make_unique<AccountRows>(format, out, workbook, names, hasher);
}

} // namespace zentavo::cli
