#pragma once

#include <QLocale>
#include <QTranslator>

namespace zentavo {

// The program's texts, and Qt's own (standard dialogs and their buttons), in
// the language of `locale` for as long as this object lives. Where no
// translation exists (the C or an English locale), the texts stay as written.
class Translations
{
public:
    explicit Translations(const QLocale &locale = QLocale());
    ~Translations();

    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // Whether the program's own texts are translated.
    bool translated() const { return m_ownLoaded; }

private:
    QTranslator m_qt;
    QTranslator m_own;
    bool m_qtLoaded = false;
    bool m_ownLoaded = false;
};

} // namespace zentavo
