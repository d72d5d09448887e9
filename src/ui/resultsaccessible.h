#pragma once

#include <QtGlobal>

class QAccessibleInterface;
class QObject;
class QString;

namespace zentavo {

// What assistive technology is told of the results view: a table of every
// row of the list, whichever rows the view shows. A factory for
// QAccessible::installFactory.
QAccessibleInterface *accessibleResults(const QString &className, QObject *object);

// The index a cell of the list has among the table's children: the column
// titles come first, then the cells row by row.
int accessibleCellIndex(int columns, qsizetype row, int column);

} // namespace zentavo
