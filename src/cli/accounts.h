#pragma once

#include "cli/commandline.h"
#include "export/rowwriter.h"
#include "generator/passwordgenerator.h"

#include <QStringList>
#include <vector>

namespace zentavo::cli {

// Hashes passwords the way /etc/shadow keeps them, with libxcrypt and a fresh
// random salt for each. The hashes are slow on purpose; hash() may be called
// from several threads at once, so that they can share the work.
class ShadowHasher
{
public:
    explicit ShadowHasher(CryptMethod method);

    // Throws OutputFailed when libxcrypt cannot make the hash.
    QString hash(QStringView password) const;

private:
    const char *m_prefix;
};

// The rows of an accounts run for a writer: each password with its name in
// the first column and, given a hasher, its hash in the last. The names take
// the line numbers' place. `names` must outlive the rows.
class AccountRows final : public PasswordSink
{
public:
    AccountRows(RowWriter &writer, const QStringList &names, const ShadowHasher *hasher);
    ~AccountRows() override;
    AccountRows(const AccountRows &) = delete;
    AccountRows &operator=(const AccountRows &) = delete;

    void append(const PasswordBatch &batch) override;
    // Writes the rows still waiting for their hashes.
    void finish();

    // The columns the rows have.
    static QStringList titles(bool hashed);

private:
    struct Waiting
    {
        QString password;
        QString hash;
        QString error;
    };
    void write(QAnyStringView password, QStringView hash);
    void writeWaiting();

    RowWriter &m_writer;
    const QStringList &m_names;
    const ShadowHasher *m_hasher;
    qsizetype m_next = 0;
    std::vector<Waiting> m_waiting;
};

} // namespace zentavo::cli
