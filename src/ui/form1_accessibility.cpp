// What a screen reader says for each control. A field would otherwise be
// announced by the title of the frame around it ("Options", "What
// length?"), and the list and the bar would have no name at all.

#include "ui/form1.h"

#include <QAccessibleWidget>
#include <QProgressBar>
#include <QTableView>

namespace zentavo {

namespace {

// A plain widget is announced as a "filler"; this one is the program's window.
QAccessibleInterface *accessibleForm(const QString &className, QObject *object)
{
    if (className == QLatin1String(Form1::staticMetaObject.className()) && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void Form1::setUpAccessibility()
{
    static const bool installed = (QAccessible::installFactory(accessibleForm), true);
    Q_UNUSED(installed);
    ListView1->setAccessibleName(tr("Results"));
    ProgressBar1->setAccessibleName(tr("Progress"));
    // The captions name the options; the descriptions say what they do.
    describeOptionControls();
}

} // namespace zentavo
