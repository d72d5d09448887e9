#pragma once

#include <QString>

namespace zentavo {

class ErrorReport;
class EventPump;
class ProgressDisplay;
class ResultsList;

// Writes the list to `path` as text in padded columns: the column titles,
// then every ticked row, each cell padded to its column's widest text (over
// all rows and the title) and followed by a TAB, every line ended by CR LF,
// in the locale's encoding without a byte-order mark.
//
// The file is written beside its destination and moved into place only when
// complete, so an earlier file of that name survives a failed write. Failures
// are reported (each kind once) and the routine carries on, so the progress
// display always ends at rest. `progress` may be null.
void SaveListviewProperlySpaced(const ResultsList &list, const QString &path, ProgressDisplay *progress,
                                EventPump &pump, ErrorReport &report);

} // namespace zentavo
