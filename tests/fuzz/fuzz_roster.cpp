// The CSV of zentavo-cli --roster. Besides not crashing, a roster it takes
// must be written back whole, and what it writes must read again as a
// roster of the same names. The first byte chooses the platform.
#include "export/roster.h"

#include <cstdlib>

namespace {

class Bytes final : public zentavo::ByteSink
{
public:
    void write(const char *data, qsizetype size) override { text.append(data, size); }
    QByteArray text;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace zentavo;
    if (size == 0)
        return 0;
    RosterSettings settings{RosterPlatform(data[0] % 4),
                            {},
                            (data[0] & 4) ? QStringLiteral("Hash") : QString(),
                            bool(data[0] & 8)};
    auto read =
        Roster::read(QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)), settings);
    const auto *roster = std::get_if<Roster>(&read);
    if (!roster)
        return 0;
    Bytes out;
    RosterWriter writer(out, *roster);
    writer.begin();
    const QAnyStringView cells[] = {QString(), QStringLiteral("Abcdef12"), QStringLiteral("$6$x$y")};
    for (qsizetype i = 0; i < roster->names().size(); ++i)
        writer.row(cells);
    writer.finish();
    settings.replacePasswords = true;
    auto again = Roster::read(out.text, settings);
    const auto *reread = std::get_if<Roster>(&again);
    if (!reread || reread->names() != roster->names())
        std::abort();
    return 0;
}
