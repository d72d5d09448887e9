#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace zentavo {

Translations::Translations(const QLocale &locale)
{
    // Qt's first, then ours: the last one installed is asked first.
    m_qtLoaded = m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_qtLoaded)
        QCoreApplication::installTranslator(&m_qt);
    m_ownLoaded =
        m_own.load(locale, QStringLiteral("zentavo"), QStringLiteral("_"), QStringLiteral(":/i18n"));
    if (m_ownLoaded)
        QCoreApplication::installTranslator(&m_own);
}

Translations::~Translations()
{
    if (m_ownLoaded)
        QCoreApplication::removeTranslator(&m_own);
    if (m_qtLoaded)
        QCoreApplication::removeTranslator(&m_qt);
}

} // namespace zentavo
