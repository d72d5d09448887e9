// "Start Generating", "Clear Results" and the rebuilding of the results list.

#include "ui/form1.h"

#include "core/memorybudget.h"
#include "core/prompter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <optional>
#include <vector>

namespace zentavo {

// Lets a generation run see and change the window.
class Form1::GenerationAdapter final : public GenerationHost
{
public:
    // The controls are read once and again only after one of them changed:
    // reading twelve controls for each of millions of passwords costs more
    // than the list they go into.
    explicit GenerationAdapter(Form1 &form) : m_form(form)
    {
        const auto changed = [this] { m_options.reset(); };
        for (QCheckBox *box : {form.Check1, form.Check2, form.Check3, form.Check4, form.Check5, form.Check6,
                               form.Check7, form.Check8, form.Check9})
            m_watches.push_back(QObject::connect(box, &QCheckBox::toggled, changed));
        for (QLineEdit *field : {form.Text1, form.Text2, form.Text3})
            m_watches.push_back(QObject::connect(field, &QLineEdit::textChanged, changed));
    }
    ~GenerationAdapter() override
    {
        for (const QMetaObject::Connection &watch : m_watches)
            QObject::disconnect(watch);
    }

    GenerationOptions options() override
    {
        if (!m_options)
            m_options = m_form.currentOptions();
        return *m_options;
    }
    void yield() override { m_form.m_pump.yield(); }
    void appendRow(qint32 lineNumber, const QString &password) override
    {
        m_form.m_results.appendRow(lineNumber, password);
    }
    bool admitRows(qint64 count, int length, int bytesPerCharacter) override
    {
        const ResultsList &results = m_form.m_results;
        const MemoryBudget &budget = m_form.memoryBudget();
        const qint64 needed = results.estimatedBytes(count, length, bytesPerCharacter);
        const qint64 usable = budget.usable();
        if (needed <= usable)
            return true;
        const qint64 perRow = std::max<qint64>(1, results.estimatedBytes(1, length, bytesPerCharacter));
        m_form.m_services.prompter->message(Prompter::Icon::Warning, m_form.m_applicationTitle,
                                            memoryRefusal(count, length, needed, usable, usable / perRow));
        return false;
    }
    void setProgressValue(double percent) override { m_form.setProgress(percent); }
    void setProgressText(const QString &text) override { m_form.setProgressText(text); }
    void showMessage(const QString &text) override { m_form.showMessage(text); }
    void focusPasswordLength() override { m_form.Text3->setFocus(); }
    void resetPointer() override { m_form.setPointer(Pointer::Arrow); }

private:
    Form1 &m_form;
    std::optional<GenerationOptions> m_options;
    std::vector<QMetaObject::Connection> m_watches;
};

void Form1::PushButton1_Click()
{
    GenerationAdapter host(*this);
    try {
        m_generator.run(host);
    } catch (const Abandoned &) {
        return; // the window was closed in the middle of the run
    }
    m_results.publishRows();
}

void Form1::PushButton3_Click()
{
    // Not while an export is reading the list (it shows the busy pointer).
    if (m_pointer == Pointer::Busy)
        return;
    m_results.removeAllRows();
}

void Form1::ClearList()
{
    Procedure procedure(m_errorReport, QStringLiteral("in Quorvex2021/08/31.Form1.ClearList "));
    procedure.step(100, [&] { m_results.removeAllRows(); });
    procedure.step(102, [&] { m_results.removeAllColumns(); });
    const bool lineNumbers = Check9->isChecked();
    if (lineNumbers)
        procedure.step(106, [&] { m_results.addColumn(QStringLiteral("Line"), tr("Line")); });
    procedure.step(108, [&] { m_results.addColumn(QStringLiteral("Result(s)"), tr("Result(s)")); });
    if (lineNumbers) {
        procedure.step(112, [&] { m_results.setColumnWidthTwips(0, 1000); });
        procedure.step(114, [&] { m_results.setColumnWidthTwips(1, 6000); });
    } else {
        procedure.step(116, [&] { m_results.setColumnWidthTwips(0, 6000); });
    }
}

} // namespace zentavo
