// "Start Generating", "Clear Results" and the rebuilding of the results list.

#include "ui/form1.h"

#include "core/memorybudget.h"
#include "core/prompter.h"
#include "export/clipboardexport.h"
#include "export/rowwriter.h"

#include <QCheckBox>
#include <QLineEdit>
#include <optional>

namespace zentavo {

// Where a generation run's passwords go: the results list. Between stretches
// of rows the window handles its events, and the run learns the options the
// controls show then.
class Form1::GenerationSink final : public PasswordSink
{
public:
    explicit GenerationSink(Form1 &form)
        : m_form(form), m_watch(QObject::connect(&form, &Form1::optionsChanged, [this] { m_changed = true; }))
    {
    }
    ~GenerationSink() override { QObject::disconnect(m_watch); }

    void append(const PasswordBatch &batch) override { m_form.m_results.appendRows(batch); }
    std::optional<QString> refuseRows(qint64 count, int length, int bytesPerCharacter) override
    {
        // The rows as the list keeps them, and room to copy them to the
        // clipboard: of the exports the one that holds them all at once (the
        // others write as they go).
        const bool lineNumbers = m_form.Check9->isChecked();
        const auto needed = [&](qint64 rows) {
            return ResultsList::estimatedBytes(rows, length, bytesPerCharacter) +
                   clipboardTextBytes(rows, length, bytesPerCharacter, lineNumbers);
        };
        const qint64 usable = m_form.memoryBudget().usable();
        if (needed(count) <= usable)
            return std::nullopt;
        qint64 fitting = 0;
        for (qint64 step = qint64(1) << 40; step > 0; step /= 2) {
            if (fitting + step < count && needed(fitting + step) <= usable)
                fitting += step;
        }
        return memoryRefusal(count, length, needed(count), usable, fitting);
    }
    void progress(double percent) override { m_form.setProgress(percent); }
    std::optional<GenerationOptions> yield() override
    {
        // The view learns of the rows made so far as the window gets its turn.
        m_form.m_results.publishRows();
        m_form.m_pump.yield();
        if (!m_changed)
            return std::nullopt;
        m_changed = false;
        return m_form.currentOptions();
    }

private:
    Form1 &m_form;
    bool m_changed = false;
    QMetaObject::Connection m_watch;
};

void Form1::PushButton1_Click()
{
    GenerationSink sink(*this);
    const GenerationOutcome outcome = m_generator.run(currentOptions(), sink);
    using End = GenerationOutcome::End;
    switch (outcome.end) {
    case End::Ignored:   // a press in the middle of a run
    case End::Abandoned: // the window was closed in the middle of the run
        return;
    case End::LengthRefused:
        showMessage(outcome.reason);
        Text3->setFocus();
        break;
    case End::MemoryRefused:
        m_services.prompter->message(Prompter::Icon::Warning, m_applicationTitle, outcome.reason);
        break;
    case End::Done:
    case End::Stopped:
        break;
    }
    // The run's wrap-up, however it ended; only a complete run says "Done.".
    setPointer(Pointer::Arrow);
    setProgress(0);
    setProgressText(tr("Progress Bar"));
    if (outcome.end == End::Done)
        showMessage(tr("Done."));
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
        procedure.step(106, [&] { m_results.addColumn(columnTitle(Column::Line), tr("Line")); });
    procedure.step(108, [&] { m_results.addColumn(columnTitle(Column::Password), tr("Result(s)")); });
    if (lineNumbers) {
        procedure.step(112, [&] { m_results.setColumnWidthTwips(0, 1000); });
        procedure.step(114, [&] { m_results.setColumnWidthTwips(1, 6000); });
    } else {
        procedure.step(116, [&] { m_results.setColumnWidthTwips(0, 6000); });
    }
}

} // namespace zentavo
