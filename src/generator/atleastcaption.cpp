#include "generator/atleastcaption.h"

#include <QCoreApplication>

namespace zentavo {

QString atLeastCaption(const QList<CaptionedGroup> &groups)
{
    QString chosen;
    for (const CaptionedGroup &group : groups) {
        if (!group.checked)
            continue;
        if (!chosen.isEmpty())
            chosen += QLatin1Char(',');
        chosen += QLatin1Char(' ') + group.caption;
    }
    // In the user's language where the window has a translation.
    if (chosen.isEmpty())
        return QCoreApplication::translate("zentavo::AtLeastCaption", "Generate at least 1 character");
    //: %1 is the list of groups, each with a blank before it: " a - z, A - Z".
    return QCoreApplication::translate("zentavo::AtLeastCaption", "Generate at least 1 character from%1")
        .arg(chosen);
}

} // namespace zentavo
