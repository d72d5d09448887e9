#pragma once

#include "export/safedestination.h"
#include "export/textblocks.h"

#include <QString>

namespace zentavo {

// A file of passwords on its way to `path` (see DestinationFile), as a
// writer's sink: written beside its destination and put in its place only
// once complete. Each step that fails throws Failure, naming the path.
class DestinationSink final : public ByteSink
{
public:
    explicit DestinationSink(QString path);

    // Decides where the file may go and creates it there, readable by the
    // user alone from the start. A file that could not be made is given up.
    void create();
    void write(const char *data, qsizetype size) override;
    // A name that opens the file being written, for a library that wants
    // a name rather than a descriptor.
    QString writingPath() const { return m_file.writingPath(); }
    // Puts the complete file in place of the destination (a file that
    // could not be put there is removed).
    void commit();
    // Gives the unfinished file up: closed, and removed from the disk at
    // once, before anyone is told why.
    void discard() { m_file.discard(); }

private:
    QString shownPath() const;

    QString m_path;
    DestinationFile m_file;
};

} // namespace zentavo
