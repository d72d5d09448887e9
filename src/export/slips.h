#pragma once

#include "export/rowwriter.h"
#include "export/textblocks.h"

#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

namespace zentavo {

enum class Paper { A4, Letter };

// "a4" or "letter", in any case; nothing for another name.
std::optional<Paper> paperNamed(QStringView name);
// The name paperNamed() reads back.
QString paperName(Paper paper);
// The paper of the user's locale (LC_ALL, else LC_PAPER, else LANG): Letter
// where the Americas print on it, A4 everywhere else.
Paper defaultPaper();

struct SlipOptions
{
    Paper paper = defaultPaper();
    // A line or two printed on every slip ("Sign in at ..."); may be empty.
    QString note;
    // A QR code of the password beside it.
    bool qr = false;
    // Passwords in groups of four; a passphrase, whose words read apart
    // already, as it is.
    bool grouped = true;
};

// Why these options cannot make slips (the note does not fit a slip), or
// nothing. Worded for the user, in their language.
std::optional<QString> slipOptionsProblem(const SlipOptions &options);

// What in `text` (a name, a note, the characters passwords are drawn from)
// no installed font can show, so a slip would print boxes in its place:
// the characters, or nothing when every one shows.
QString unshownOnSlips(QStringView text);

// The longest password (in characters) a slip made with these options
// holds; a longer one is refused by SlipSheet::row().
qsizetype longestSlipPassword(const SlipOptions &options);

// Pages of slips to cut out, as PDF into `out`: on each slip its label (an
// account name or a line number), the password large in a typeface that
// keeps look-alikes apart, set in groups of four, the note and, if asked,
// a QR code of the password. Rows have two cells: the label and the
// password; a row of the password alone is labelled with its slip's number. The pages are written as they
// fill, so a long list never waits whole in memory. finish() throws Failure for a list without rows.
class SlipSheet final : public RowWriter
{
public:
    SlipSheet(ByteSink &out, SlipOptions options);
    ~SlipSheet() override;
    SlipSheet(const SlipSheet &) = delete;
    SlipSheet &operator=(const SlipSheet &) = delete;

    void begin() override;
    void row(Cells cells) override;
    void finish() override;

    // How many slips one page holds.
    static int slipsPerPage();

private:
    class Pages;
    std::unique_ptr<Pages> m_pages;
};

} // namespace zentavo
