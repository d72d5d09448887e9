// What a screen reader says for each control. A field would otherwise be
// announced by the title of the frame around it ("Options", "What
// length?"), and the list and the bar would have no name at all.

#include "ui/form1.h"

#include "generator/optiontable.h"

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QLineEdit>
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
    Text1->setAccessibleName(tr("Your own characters"));
    Text1->setAccessibleDescription(tr("Characters of your own that passwords are drawn from"));
    Text2->setAccessibleName(tr("Number of passwords"));
    Text2->setAccessibleDescription(
        tr("How many passwords to make, from 1 to %1").arg(kPasswordCount.maximum));
    Text3->setAccessibleName(tr("Password length"));
    Text3->setAccessibleDescription(
        tr("How many characters each password has, from 1 to %1").arg(kPasswordLength.maximum));
    ListView1->setAccessibleName(tr("Results"));
    ProgressBar1->setAccessibleName(tr("Progress"));

    // The captions name the options; the descriptions say what they do.
    Check5->setAccessibleDescription(tr("Draw from the lower-case letters"));
    Check6->setAccessibleDescription(tr("Draw from the upper-case letters"));
    Check7->setAccessibleDescription(tr("Draw from the digits"));
    Check2->setAccessibleName(tr("Your specified characters"));
    Check2->setAccessibleDescription(tr("Draw from the characters typed in the field beside it"));
    Check8->setAccessibleDescription(tr("Every password has at least one character of each chosen group"));
    Check9->setAccessibleDescription(tr("Number the rows of the results list"));
    Check4->setAccessibleDescription(tr("The last character of every password is a digit"));
    Check3->setAccessibleDescription(tr("Every password holds one space character"));
    Check1->setAccessibleDescription(tr("Leave out the letters A, E, I, O and U"));
}

} // namespace zentavo
