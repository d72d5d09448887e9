#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zentavo::test {

// Reads the first sheet of a workbook back with LibreOffice itself (headless,
// with a profile of its own under `profileFolder`), one list of cell texts
// per sheet row. Fails the running test when LibreOffice cannot do it.
QList<QStringList> readWorkbook(const QString &workbook, const QString &profileFolder);

} // namespace zentavo::test
