#include "generator/atleastcaption.h"

namespace zentavo {

QString atLeastCaption(const QList<GroupChoice> &groups)
{
    QString caption = QStringLiteral("Generate at least 1 character");
    QString chosen;
    for (const GroupChoice &group : groups) {
        if (!group.checked)
            continue;
        if (!chosen.isEmpty())
            chosen += QLatin1Char(',');
        chosen += QLatin1Char(' ') + group.caption;
    }
    if (!chosen.isEmpty())
        caption += QLatin1String(" from") + chosen;
    return caption;
}

} // namespace zentavo
