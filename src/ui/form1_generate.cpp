// "Start Generating", "Clear Results" and the rebuilding of the results list.

#include "ui/form1.h"

#include <QCheckBox>
#include <QLineEdit>

namespace zentavo {

// Lets a generation run see and change the window.
class Form1::GenerationAdapter final : public GenerationHost
{
public:
    explicit GenerationAdapter(Form1 &form) : m_form(form) {}

    GenerationOptions options() override { return m_form.currentOptions(); }
    void yield() override { m_form.m_pump.yield(); }
    void appendRow(qint32 lineNumber, const QString &password) override
    {
        m_form.m_results.appendRow(lineNumber, password);
    }
    void setProgressValue(double percent) override { m_form.setProgress(percent); }
    void setProgressText(const QString &text) override { m_form.setProgressText(text); }
    void showMessage(const QString &text) override { m_form.showMessage(text); }
    void focusPasswordLength() override { m_form.Text3->setFocus(); }
    void resetPointer() override { m_form.setPointer(Pointer::Arrow); }

private:
    Form1 &m_form;
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
        procedure.step(106, [&] { m_results.addColumn(tr("Line")); });
    procedure.step(108, [&] { m_results.addColumn(tr("Result(s)")); });
    if (lineNumbers) {
        procedure.step(112, [&] { m_results.setColumnWidthTwips(0, 1000); });
        procedure.step(114, [&] { m_results.setColumnWidthTwips(1, 6000); });
    } else {
        procedure.step(116, [&] { m_results.setColumnWidthTwips(0, 6000); });
    }
}

} // namespace zentavo
