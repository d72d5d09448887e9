#include "windowfixture.h"

#include <QDir>
#include <QSettings>
#include <QTest>

namespace zentavo::test {

WindowFixture::WindowFixture()
{
    programFolder = folder.filePath(QStringLiteral("program"));
    QDir().mkpath(programFolder);
    scripted.fallback = 0;
}

void WindowFixture::storeSettings(const QList<std::pair<QString, QString>> &values)
{
    QSettings file(settingsFile(), QSettings::IniFormat);
    for (const auto &[key, value] : values)
        file.setValue(QStringLiteral("Zentavo/") + key, value);
}

QMap<QString, QString> WindowFixture::storedSettings() const
{
    QSettings file(settingsFile(), QSettings::IniFormat);
    QMap<QString, QString> result;
    for (const QString &key : file.allKeys())
        result.insert(key, file.value(key).toString());
    return result;
}

Services WindowFixture::services()
{
    if (!settings)
        settings = std::make_unique<SettingsStore>(settingsFile());
    Services services;
    services.prompter = &prompter;
    services.random = random;
    services.settings = settings.get();
    services.browser = &browser;
    services.clock = &clock;
    services.memoryBudget = memoryBudget;
    services.programFolder = programFolder;
    services.supportAddress = QStringLiteral("help@example.org");
    services.homePage = QUrl(QStringLiteral("https://zentavo.example/"));
    return services;
}

Form1 &WindowFixture::start(bool show)
{
    form = std::make_unique<Form1>(services());
    form->Form_Load();
    if (show) {
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("the main window was never shown");
    }
    return *form;
}

} // namespace zentavo::test
