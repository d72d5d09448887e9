#pragma once

#include "core/errorreport.h"
#include "core/eventpump.h"
#include "core/prompter.h"
#include "ui/resultsview.h"
#include "ui/services.h"
#include "ui/twips.h"

#include "export/slips.h"
#include "generator/options.h"
#include "generator/passwordgenerator.h"
#include "results/resultslist.h"

#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <span>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QProgressBar;
class QScrollArea;
class QPushButton;

namespace zentavo {

class ByteSink;
struct OptionControl;

// The window's way to message boxes. Once the window is closed the program
// is ending: a command still unwinding shows nothing more.
class PrompterUntilClosed final : public Prompter
{
public:
    PrompterUntilClosed(Prompter &prompter, const EventPump &pump) : m_prompter(prompter), m_pump(pump) {}
    void message(Icon icon, const QString &title, const QString &text) override
    {
        if (!m_pump.isAbandoned())
            m_prompter.message(icon, title, text);
    }

private:
    Prompter &m_prompter;
    const EventPump &m_pump;
};

// The main window: every option, the "Start Generating" command, the results
// list and the commands that act on it. Controls keep the names every reader
// of this program knows them by (Check5 is "a - z", Text2 the count...).
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(const Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    // The three shapes of the window's mouse pointer.
    enum class Pointer { Arrow, Hand, Busy };
    Pointer pointer() const { return m_pointer; }
    void setPointer(Pointer pointer);

    ResultsList &results() { return m_results; }
    bool isGenerating() const { return m_generator.isGenerating(); }
    // Closed already, while loading, say: the program is ending.
    bool isClosed() const { return m_pump.isAbandoned(); }

    // The options as the controls show them now.
    GenerationOptions currentOptions() const;

    // The memory the window's commands may still use.
    const MemoryBudget &memoryBudget() const;

    // Prepares the window before it is first shown.
    void Form_Load();

    // Commands and shared procedures.
    void PushButton1_Click();
    void PushButton3_Click();
    void ClearList();
    void PushButton4_Click();
    void PushButton2_Click();
    void PushButton13_Click();
    bool SaveResultsAsExcelFileIsExcelInstalled();
    // The results list's context menu: the ticked rows as slips.
    void PrintSlips_Click();
    void SaveSlipsAsPdf_Click();
    void RenameAtLeast();

    // Controls, named as in the window's design.
    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4, *Frame5;
    QCheckBox *Check1, *Check2, *Check3, *Check4, *Check5, *Check6, *Check7, *Check8, *Check9;
    QLineEdit *Text1, *Text2, *Text3;
    QPushButton *PushButton1, *PushButton2, *PushButton3, *PushButton4, *PushButton13;
    ResultsView *ListView1;
    QProgressBar *ProgressBar1;

signals:
    // An option control changed; what it shows is stored already.
    void optionsChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class GenerationSink;
    class ExportProgress;

    // One row per option: how its control is made and how it acts.
    static std::span<const OptionControl> optionControls();

    void createControls();
    void createOptionControls();
    void createResultsView();
    void describeOptionControls();
    void setTabOrder();
    void fitTheStyle();
    void wirePointerHandlers();
    void wireOptionHandlers();
    void setUpKeyboard();
    void setUpAccessibility();
    void placeOnScreen();
    void fitToScreen();
    void makeScrollable(const QSize &design);
    void centreOnScreen();
    bool handleListKey(QKeyEvent *key);
    void copySelectedPasswords();
    void createResultsMenu();
    static bool isResultsMenuKey(const QKeyEvent *key);
    // At a point on the screen; from the keyboard, at the current row.
    void showResultsMenu(std::optional<QPoint> at);
    void makeSlips(const QString &command, const std::function<std::function<void()>()> &askWhere);
    bool hasTickedRows() const;
    void writeSlips(ByteSink &sink, Paper paper);
    void writeSetting(const char *key, const QString &value);
    void writeSettings(const QList<std::pair<QString, QString>> &values);
    void warnAboutStoreOnce(const QString &text);
    std::optional<QString> fieldWarning(const QLineEdit *field) const;
    void leavingField(QLineEdit *field, Qt::FocusReason reason);
    void validateOnLeaving(QLineEdit *field, const QString &warning);
    void runCommand(void (Form1::*command)());
    void applySkin();
    void OpenHomePageOccasionally();
    void warnIfStoreUnusable();
    void restoreOption(std::size_t index);
    void showMessage(const QString &text);
    void setProgress(double percent);
    void setProgressText(const QString &text);
    void applyColumnWidth(int column, int twips);
    void exportWorkbook(Procedure &procedure);

    Services m_services;
    PrompterUntilClosed m_prompter;
    ErrorReport m_errorReport;
    EventPump m_pump;
    ResultsList m_results;
    PasswordGenerator m_generator;
    QString m_applicationTitle;
    Pointer m_pointer = Pointer::Arrow;
    std::optional<QCursor> m_handCursor;
    bool m_centred = false;
    // Only where the designed window does not fit the screen.
    QScrollArea *m_scroller = nullptr;
    // Where the compositor alone knows the room (Wayland): maximized, its size.
    bool m_sizedByCompositor = false;
    bool m_warnedAboutStore = false;
    // While the options are restored at start-up: what they write back.
    std::optional<QList<std::pair<QString, QString>>> m_restoredWrites;
    bool m_validating = false;
    // The field whose warning is about to be shown or is up; commands wait.
    QLineEdit *m_leaving = nullptr;
    // Swallows the rest of the click that took the focus out of that field.
    QPointer<QObject> m_clickTaker;
    bool m_makingWorkbook = false;
    bool m_copying = false; // Ctrl+C in the list
    QMenu *m_resultsMenu = nullptr;
    bool m_makingSlips = false;
    int m_shownProgress = 0;
};

// The service, or a failure that says it is missing.
template <typename Service> Service &available(Service *service, const char *what)
{
    if (!service)
        throw Failure(QStringLiteral("No %1 is available.").arg(QLatin1String(what)));
    return *service;
}

// The program's icon in all the sizes it is drawn in.
QIcon programIcon();

} // namespace zentavo
