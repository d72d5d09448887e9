#pragma once

#include <QString>

namespace zentavo {

class EventPump;
class MemoryBudget;
class ResultsList;

// The clipboard as the copy command uses it. Another program may hold the
// clipboard for a moment, so either attempt may fail; it then returns false.
class Clipboard
{
public:
    virtual ~Clipboard() = default;

    virtual bool clear() = 0;
    // `format` is a MIME type; empty means plain text.
    virtual bool setText(const QString &text, const QString &format) = 0;
};

// The ticked rows as clipboard text: no title line, each cell but the last
// padded to its column's widest cell (over all rows, ticked or not) and
// followed by a TAB, the last cell without trailing spaces, every line ended
// by CR LF. Throws Failure when a row disappears while it is being read.
QString clipboardText(const ResultsList &list, EventPump &pump);

// About the memory the clipboard text of `rows` passwords of `length`
// characters takes while it is handed over: the text and the clipboard's
// copy in UTF-8. `bytesPerCharacter` is as the results list counts it (1 for
// Latin-1, taken as ASCII); with `lineNumbers`, the rows are numbered from 1.
qint64 clipboardTextBytes(qint64 rows, int length, int bytesPerCharacter, bool lineNumbers);

// Throws Failure, saying so, when a clipboard text of `characters`
// characters made of `rows` rows would not fit in `budget` beside the
// clipboard's own copy of it.
void checkClipboardRoom(const MemoryBudget &budget, qint64 characters, qsizetype rows);

// What the user is told when an allocation for the clipboard text failed.
QString noRoomForClipboardText();

// Puts the ticked rows on the clipboard. An empty list leaves the clipboard
// as it is. A failure to read the list (Failure) leaves it as it is too.
void CopyListviewProperlySpaced(const ResultsList &list, Clipboard &clipboard, EventPump &pump);

// Clears the clipboard and puts the text on it, each with its retries, then
// wipes the text while the window goes on. Throws Failure when there was no
// memory for the clipboard's copy.
void putOnClipboard(Clipboard &clipboard, QString &text, EventPump &pump);

// Each tries up to 1000 times, stopping at the first attempt that works;
// failures are not reported, but for a failed allocation (std::bad_alloc),
// which the next attempt would meet again.
void ClipboardClearWithRetry(Clipboard &clipboard);
bool ClipboardSetTextWithRetry(Clipboard &clipboard, const QString &text, const QString &format = {});

} // namespace zentavo
