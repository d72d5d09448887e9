// The option controls: each made, named, described, restored, read and
// stored from one table. What each does when it changes: it is stored at
// once, and some changes update other parts of the window. The two numeric
// fields are checked when the user leaves them.

#include "ui/designedcheckbox.h"
#include "ui/form1.h"
#include "ui/twips.h"

#include "core/optionsettings.h"
#include "core/prompter.h"
#include "core/settingsstore.h"
#include "generator/atleastcaption.h"
#include "generator/optiontable.h"
#include "generator/strength.h"
#include "generator/validation.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>

namespace zentavo {

// How the control that shows an option is made, what a screen reader says
// of it and how it acts.
struct OptionControl
{
    OptionSetting::Field field;
    std::variant<QCheckBox * Form1::*, QLineEdit * Form1::*> control;
    QGroupBox *Form1::*frame;
    int left, top, width, height; // in twips, within the frame
    const char *name;             // the design's, so a skin's style sheet can address it (#Check5)
    const char *text;             // a box's caption (translated); a field's text until its option is restored
    const char *accessibleName;   // nullptr: the caption names it
    const char *description;      // what it does; %1 is a number's maximum
    const char *tooLarge;         // a number's warning for a value above its maximum (%1)
    bool group;                   // a character group, named in the at-least option's caption
};

namespace {

using G = GenerationOptions;

constexpr bool followsTheOptionsTable(std::span<const OptionControl> rows)
{
    if (rows.size() != kOptionSettings.size())
        return false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // A box shows a switch, a field a text.
        if (rows[i].field != kOptionSettings[i].field || rows[i].control.index() != rows[i].field.index())
            return false;
    }
    return true;
}

QCheckBox *boxOf(const Form1 &form, const OptionControl &row)
{
    const auto *box = std::get_if<QCheckBox * Form1::*>(&row.control);
    return box ? form.**box : nullptr;
}

QLineEdit *fieldOf(const Form1 &form, const OptionControl &row)
{
    const auto *field = std::get_if<QLineEdit * Form1::*>(&row.control);
    return field ? form.**field : nullptr;
}

QWidget *controlOf(const Form1 &form, const OptionControl &row)
{
    if (QCheckBox *box = boxOf(form, row))
        return box;
    return fieldOf(form, row);
}

// Takes the mouse click, in the given window, whose press is under way:
// that press, a double click and the release that ends it. Gone after the
// release, wherever it goes.
class ClickTaker final : public QObject
{
public:
    explicit ClickTaker(QWidget *window) : QObject(window), m_window(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
            type != QEvent::MouseButtonRelease)
            return false;
        const auto *widget = qobject_cast<QWidget *>(watched);
        const bool ours = widget && widget->window() == m_window;
        if (type == QEvent::MouseButtonRelease)
            deleteLater();
        return ours;
    }

private:
    QWidget *m_window;
};

} // namespace

std::span<const OptionControl> Form1::optionControls()
{
    static constexpr OptionControl rows[] = {
        {&G::useLowerCase, &Form1::Check5, &Form1::Frame1, 240, 300, 870, 240, "Check5", QT_TR_NOOP("a - z"),
         nullptr, QT_TR_NOOP("Draw from the lower-case letters"), nullptr, true},
        {&G::useUpperCase, &Form1::Check6, &Form1::Frame1, 240, 650, 960, 240, "Check6", QT_TR_NOOP("A - Z"),
         nullptr, QT_TR_NOOP("Draw from the upper-case letters"), nullptr, true},
        {&G::useDigits, &Form1::Check7, &Form1::Frame1, 240, 1000, 1140, 240, "Check7", QT_TR_NOOP("0 - 9"),
         nullptr, QT_TR_NOOP("Draw from the digits"), nullptr, true},
        {&G::useSpecified, &Form1::Check2, &Form1::Frame1, 240, 1350, 2580, 240, "Check2",
         QT_TR_NOOP(" Your specified characters"), QT_TR_NOOP("Your specified characters"),
         QT_TR_NOOP("Draw from the characters typed in the field beside it"), nullptr, true},
        {&G::specifiedCharacters, &Form1::Text1, &Form1::Frame1, 2880, 1300, 2535, 345, "Text1",
         kOwnCharacters.firstRunValue, QT_TR_NOOP("Your own characters"),
         QT_TR_NOOP("Characters of your own that passwords are drawn from"), nullptr, false},
        {&G::passwordCount, &Form1::Text2, &Form1::Frame2, 240, 300, 7300, 345, "Text2", "10",
         QT_TR_NOOP("Number of passwords"), QT_TR_NOOP("How many passwords to make, from 1 to %1"),
         QT_TR_NOOP("Zentavo makes at most %1 passwords at a time."), false},
        {&G::passwordLength, &Form1::Text3, &Form1::Frame3, 240, 300, 7300, 345, "Text3", "4",
         QT_TR_NOOP("Password length"), QT_TR_NOOP("How many characters each password has, from 1 to %1"),
         QT_TR_NOOP("A password can be at most %1 characters long."), false},
        {&G::atLeastOneFromEachGroup, &Form1::Check8, &Form1::Frame4, 240, 300, 7380, 240, "Check8",
         QT_TR_NOOP("Generate at least 1 character from each character group (listed above)"), nullptr,
         QT_TR_NOOP("Every password has at least one character of each chosen group"), nullptr, false},
        {&G::showLineNumbers, &Form1::Check9, &Form1::Frame5, 240, 300, 2940, 240, "Check9",
         QT_TR_NOOP("Show line numbers"), nullptr, QT_TR_NOOP("Number the rows of the results list"), nullptr,
         false},
        {&G::lastCharacterDigit, &Form1::Check4, &Form1::Frame5, 240, 650, 2940, 240, "Check4",
         QT_TR_NOOP("Make last character a digit"), nullptr,
         QT_TR_NOOP("The last character of every password is a digit"), nullptr, false},
        {&G::includeSpace, &Form1::Check3, &Form1::Frame5, 240, 1000, 2940, 240, "Check3",
         QT_TR_NOOP("Include space character"), nullptr,
         QT_TR_NOOP("Every password holds one space character"), nullptr, false},
        {&G::removeVowels, &Form1::Check1, &Form1::Frame5, 240, 1350, 2940, 240, "Check1",
         QT_TR_NOOP("Remove vowels"), nullptr, QT_TR_NOOP("Leave out the letters A, E, I, O and U"), nullptr,
         false},
    };
    // In the options table's order, which restores the options in turn.
    static_assert(followsTheOptionsTable(rows), "one control for each option, in the options table's order");
    return rows;
}

void Form1::createOptionControls()
{
    for (const OptionControl &row : optionControls()) {
        QWidget *frame = this->*row.frame;
        QWidget *control = nullptr;
        if (const auto *box = std::get_if<QCheckBox * Form1::*>(&row.control))
            control = this->**box = new DesignedCheckBox(tr(row.text), frame);
        else
            control = this->*std::get<QLineEdit * Form1::*>(row.control) =
                          new QLineEdit(QString::fromLatin1(row.text), frame);
        control->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
        control->setObjectName(QLatin1String(row.name));
    }
    Text1->hide();
}

void Form1::describeOptionControls()
{
    const std::span<const OptionControl> rows = optionControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QWidget *control = controlOf(*this, rows[i]);
        if (rows[i].accessibleName)
            control->setAccessibleName(tr(rows[i].accessibleName));
        const qint64 maximum = kOptionSettings[i].maximum;
        control->setAccessibleDescription(maximum ? tr(rows[i].description).arg(maximum)
                                                  : tr(rows[i].description));
    }
}

GenerationOptions Form1::currentOptions() const
{
    GenerationOptions options;
    for (const OptionControl &row : optionControls()) {
        if (const QCheckBox *box = boxOf(*this, row))
            options.*std::get<bool GenerationOptions::*>(row.field) = box->isChecked();
        else
            options.*std::get<QString GenerationOptions::*>(row.field) = fieldOf(*this, row)->text();
    }
    return options;
}

void Form1::wireOptionHandlers()
{
    // The user's characters are editable exactly while they are in use.
    connect(Check2, &QCheckBox::toggled, Text1, &QLineEdit::setVisible);

    const std::span<const OptionControl> rows = optionControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const OptionSetting &setting = kOptionSettings[i];
        auto store = [this, key = setting.key](const QString &value) {
            writeSetting(key, value);
            emit optionsChanged();
        };
        if (QCheckBox *box = boxOf(*this, rows[i])) {
            connect(box, &QCheckBox::toggled, this,
                    [store](bool checked) { store(encodeCheckBox(checked)); });
            if (rows[i].group)
                connect(box, &QCheckBox::toggled, this, &Form1::RenameAtLeast);
        } else {
            QLineEdit *field = fieldOf(*this, rows[i]);
            connect(field, &QLineEdit::textChanged, this, store);
            // A number is checked as the user leaves its field.
            if (setting.maximum)
                field->installEventFilter(this);
        }
    }
    // The list's columns always match the option, so it starts afresh.
    connect(Check9, &QCheckBox::toggled, this, &Form1::ClearList);

    // How strong one password is, shown when hovering over the length, and
    // kept up to date with the options.
    auto showStrength = [this] {
        const QString hint = strengthHint(currentOptions());
        Text3->setToolTip(hint);
        Frame3->setToolTip(hint);
    };
    connect(this, &Form1::optionsChanged, this, showStrength);
    showStrength();
}

void Form1::writeSetting(const char *key, const QString &value)
{
    if (m_restoredWrites) {
        // Restoring a control writes back only what the store does not hold
        // yet, all at once when every option is restored.
        const QString name = QString::fromLatin1(key);
        const QString absent = QStringLiteral("\x01");
        if (m_services.settings->ReadSetting(name, absent) != value)
            m_restoredWrites->append({name, value});
        return;
    }
    writeSettings({{QString::fromLatin1(key), value}});
}

void Form1::writeSettings(const QList<std::pair<QString, QString>> &values)
{
    if (m_services.settings->WriteSettings(values) || m_warnedAboutStore)
        return;
    warnAboutStoreOnce(tr("Your options cannot be saved in \"%1\": %2.\n\n"
                          "The options you choose still apply until you close Zentavo, but they will not "
                          "be remembered for its next start.")
                           .arg(m_services.settings->fileName(), m_services.settings->writeError()));
}

void Form1::warnAboutStoreOnce(const QString &text)
{
    // Once per run is enough: the options still work, they are just not kept.
    if (m_warnedAboutStore)
        return;
    m_warnedAboutStore = true;
    m_services.prompter->message(Prompter::Icon::Warning, m_applicationTitle, text);
}

std::optional<QString> Form1::fieldWarning(const QLineEdit *field) const
{
    const std::span<const OptionControl> rows = optionControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const OptionSetting &setting = kOptionSettings[i];
        if (fieldOf(*this, rows[i]) == field && setting.maximum)
            return numberFieldWarning(field->text(), setting, tr(rows[i].tooLarge).arg(setting.maximum));
    }
    return std::nullopt;
}

void Form1::leavingField(QLineEdit *field, Qt::FocusReason reason)
{
    // Switching to another window or opening a menu is not leaving the
    // field, and neither is a message box coming up or going: the focus
    // returns to where it was. While one warning is on its way or up, the
    // focus moves only because of it.
    if (m_validating || m_leaving || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    const std::optional<QString> warning = fieldWarning(field);
    if (!warning)
        return;
    m_leaving = field;
    // The press that moved the focus is still on its way to the control
    // clicked: the warning takes that click, as a modal box would, so the
    // control never acts on a value that was just refused.
    if (reason == Qt::MouseFocusReason)
        m_clickTaker = new ClickTaker(this);
    // The warning waits until the focus has settled on its new place:
    // taking it back in the middle of its move would be undone by the move.
    QMetaObject::invokeMethod(
        this, [this, field, text = *warning] { validateOnLeaving(field, text); }, Qt::QueuedConnection);
}

void Form1::validateOnLeaving(QLineEdit *field, const QString &warning)
{
    m_validating = true;
    m_services.prompter->message(Prompter::Icon::Warning, m_applicationTitle, warning);
    field->setFocus(Qt::OtherFocusReason);
    m_validating = false;
    m_leaving = nullptr;
    if (m_clickTaker && QGuiApplication::mouseButtons() == Qt::NoButton)
        delete m_clickTaker;
}

void Form1::runCommand(void (Form1::*command)())
{
    // A click or shortcut that left a refused field is answered by its
    // warning alone.
    if (!m_leaving)
        (this->*command)();
}

void Form1::RenameAtLeast()
{
    Procedure procedure(m_errorReport, QStringLiteral("in Quorvex2021/08/31.Form1.RenameAtLeast "));
    procedure.step(138, [&] {
        QList<CaptionedGroup> groups;
        for (const OptionControl &row : optionControls()) {
            if (const QCheckBox *box = row.group ? boxOf(*this, row) : nullptr)
                groups.append({box->isChecked(), box->text()});
        }
        Check8->setText(atLeastCaption(groups));
    });
}

void Form1::restoreOption(std::size_t index)
{
    // Setting a control runs its change behaviour only when the value
    // differs from what it shows, so only such values are written back.
    const OptionSetting &setting = kOptionSettings[index];
    const QString stored = m_services.settings->ReadSetting(QString::fromLatin1(setting.key),
                                                            QString::fromLatin1(setting.firstRunValue));
    const OptionControl &row = optionControls()[index];
    if (QCheckBox *box = boxOf(*this, row))
        box->setChecked(decodeCheckBox(stored));
    else
        fieldOf(*this, row)->setText(stored);
}

} // namespace zentavo
