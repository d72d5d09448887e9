// What each option control does when it changes: it is stored at once, and
// some changes update other parts of the window. The two numeric fields are
// checked when the user leaves them.

#include "ui/form1.h"

#include "core/failure.h"
#include "core/optionsettings.h"
#include "core/prompter.h"
#include "core/settingsstore.h"
#include "generator/optiontable.h"

#include "generator/atleastcaption.h"
#include "generator/strength.h"
#include "generator/validation.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>

namespace zentavo {

namespace {

// The control that shows each option, by its object name.
const std::pair<OptionSetting::Field, const char *> kOptionControls[] = {
    {&GenerationOptions::useLowerCase, "Check5"},
    {&GenerationOptions::useUpperCase, "Check6"},
    {&GenerationOptions::useDigits, "Check7"},
    {&GenerationOptions::useSpecified, "Check2"},
    {&GenerationOptions::specifiedCharacters, "Text1"},
    {&GenerationOptions::passwordCount, "Text2"},
    {&GenerationOptions::passwordLength, "Text3"},
    {&GenerationOptions::atLeastOneFromEachGroup, "Check8"},
    {&GenerationOptions::showLineNumbers, "Check9"},
    {&GenerationOptions::lastCharacterDigit, "Check4"},
    {&GenerationOptions::includeSpace, "Check3"},
    {&GenerationOptions::removeVowels, "Check1"},
};

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

QWidget *Form1::optionControl(const OptionSetting &setting) const
{
    for (const auto &[field, name] : kOptionControls) {
        if (field != setting.field)
            continue;
        if (QWidget *control = findChild<QWidget *>(QString::fromLatin1(name)))
            return control;
        throw Failure(QStringLiteral("The window has no control %1.").arg(QString::fromLatin1(name)));
    }
    throw Failure(QStringLiteral("No control shows the option %1.").arg(QString::fromLatin1(setting.key)));
}

GenerationOptions Form1::currentOptions() const
{
    GenerationOptions options;
    for (const OptionSetting &setting : kOptionSettings) {
        QWidget *control = optionControl(setting);
        if (const auto *checked = std::get_if<bool GenerationOptions::*>(&setting.field))
            options.**checked = qobject_cast<QCheckBox *>(control)->isChecked();
        else
            options.*std::get<QString GenerationOptions::*>(setting.field) =
                qobject_cast<QLineEdit *>(control)->text();
    }
    return options;
}

void Form1::wireOptionHandlers()
{
    // The user's characters are editable exactly while they are in use.
    connect(Check2, &QCheckBox::toggled, Text1, &QLineEdit::setVisible);

    for (const OptionSetting &setting : kOptionSettings) {
        const char *key = setting.key;
        QWidget *control = optionControl(setting);
        if (auto *box = qobject_cast<QCheckBox *>(control))
            connect(box, &QCheckBox::toggled, this,
                    [this, key](bool checked) { writeSetting(key, encodeCheckBox(checked)); });
        else
            connect(qobject_cast<QLineEdit *>(control), &QLineEdit::textChanged, this,
                    [this, key](const QString &text) { writeSetting(key, text); });
    }

    for (QCheckBox *group : {Check5, Check6, Check7, Check2})
        connect(group, &QCheckBox::toggled, this, &Form1::RenameAtLeast);
    // The list's columns always match the option, so it starts afresh.
    connect(Check9, &QCheckBox::toggled, this, &Form1::ClearList);

    Text2->installEventFilter(this);
    Text3->installEventFilter(this);

    // How strong one password is, shown when hovering over the length, and
    // kept up to date with every option that changes it.
    auto showStrength = [this] {
        const QString hint = strengthHint(currentOptions());
        Text3->setToolTip(hint);
        Frame3->setToolTip(hint);
    };
    for (QCheckBox *box : {Check5, Check6, Check7, Check2, Check8, Check1, Check3, Check4})
        connect(box, &QCheckBox::toggled, this, showStrength);
    for (QLineEdit *field : {Text1, Text3})
        connect(field, &QLineEdit::textChanged, this, showStrength);
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
    return field == Text2
               ? numberFieldWarning(
                     field->text(), kPasswordCount,
                     tr("Zentavo makes at most %1 passwords at a time.").arg(kPasswordCount.maximum))
               : numberFieldWarning(
                     field->text(), kPasswordLength,
                     tr("A password can be at most %1 characters long.").arg(kPasswordLength.maximum));
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
        Check8->setText(atLeastCaption({{Check5->isChecked(), Check5->text()},
                                        {Check6->isChecked(), Check6->text()},
                                        {Check7->isChecked(), Check7->text()},
                                        {Check2->isChecked(), Check2->text()}}));
    });
}

void Form1::restoreOption(std::size_t index)
{
    // Setting a control runs its change behaviour only when the value
    // differs from what it shows, so only such values are written back.
    const OptionSetting &setting = kOptionSettings[index];
    const QString stored = m_services.settings->ReadSetting(QString::fromLatin1(setting.key),
                                                            QString::fromLatin1(setting.firstRunValue));
    QWidget *const control = optionControl(setting);
    if (auto *box = qobject_cast<QCheckBox *>(control))
        box->setChecked(decodeCheckBox(stored));
    else
        qobject_cast<QLineEdit *>(control)->setText(stored);
}

} // namespace zentavo
