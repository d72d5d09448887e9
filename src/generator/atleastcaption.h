#pragma once

#include <QList>
#include <QString>

namespace zentavo {

struct CaptionedGroup
{
    bool checked;
    QString caption; // the group check box's caption, as shown
};

// The caption of the at-least option, naming the chosen groups in the order
// given: "Generate at least 1 character from a - z, A - Z". The captions are
// joined with a comma and a blank; a caption that itself starts with a blank
// keeps it (so two blanks stand before " Your specified characters"). With no
// group chosen the caption ends after "character".
QString atLeastCaption(const QList<CaptionedGroup> &groups);

} // namespace zentavo
