#pragma once

// A main window wired to stand-ins for the outside world, with its settings
// and program folder in a temporary folder of its own.

#include "core/settingsstore.h"
#include "generator/randomsource.h"
#include "recorders.h"
#include "ui/browser.h"
#include "ui/form1.h"
#include "ui/savedialog.h"
#include "ui/services.h"

#include <QTemporaryDir>
#include <memory>

namespace zentavo::test {

class RecordingBrowser : public Browser
{
public:
    void open(const QUrl &address) override { opened.append(address); }
    QList<QUrl> opened;
};

class ScriptedSaveDialog : public SaveDialog
{
public:
    QString askForPath(SaveKind) override
    {
        ++asked;
        return answer;
    }

    QString answer;
    int asked = 0;
};

class WindowFixture
{
public:
    WindowFixture();

    // The settings file the window reads and writes.
    QString settingsFile() const { return folder.filePath(QStringLiteral("config/Veltrano/Zentavo.ini")); }
    // Writes settings as if an earlier run had stored them.
    void storeSettings(const QList<std::pair<QString, QString>> &values);
    // Every key and value in the settings file.
    QMap<QString, QString> storedSettings() const;

    Services services();
    // Creates the window and runs its start-up, as starting the program does.
    Form1 &start(bool show = true);

    QTemporaryDir folder;
    QString programFolder;
    RecordingPrompter prompter;
    RecordingBrowser browser;
    SteppingClock clock;
    ScriptedRandom scripted;
    CryptoRandomSource crypto;
    RandomSource *random = &crypto;
    // The system's own when not set.
    const MemoryBudget *memoryBudget = nullptr;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<Form1> form;
};

} // namespace zentavo::test
