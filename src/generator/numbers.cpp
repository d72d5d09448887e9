#include "generator/numbers.h"

#include "core/failure.h"

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace zentavo {

std::optional<double> parseNumber(const QString &text, Notation notation)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const bool digits = notation == Notation::Digits;
    if (digits &&
        !std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const double value = (digits ? QLocale::c() : QLocale()).toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfEven(double value)
{
    // The default floating-point rounding mode is to nearest, ties to even.
    return std::nearbyint(value);
}

qint64 toWholeNumber(const QString &text, qint64 minimum, qint64 maximum)
{
    const std::optional<double> number = parseNumber(text);
    if (!number)
        throw Failure(QCoreApplication::translate("zentavo::Numbers", "\"%1\" is not a number.").arg(text));
    const double rounded = roundHalfEven(*number);
    if (rounded < double(minimum) || rounded > double(maximum))
        throw Failure(QCoreApplication::translate(
                          "zentavo::Numbers", "%1 is out of range: the number must lie between %2 and %3.")
                          .arg(text.trimmed())
                          .arg(minimum)
                          .arg(maximum));
    return static_cast<qint64>(rounded);
}

double leadingNumber(const QString &text)
{
    // Blanks, tabs and line feeds are skipped wherever they stand, as the
    // classic BASIC Val() does, so "1 2" reads as 12.
    QString digits;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
            ++i;
    };
    auto takeDigits = [&] {
        bool any = false;
        for (skipBlanks(); i < n && text[i].isDigit() && text[i].unicode() < 128; skipBlanks()) {
            digits += text[i++];
            any = true;
        }
        return any;
    };
    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        digits += text[i++];
    bool mantissa = takeDigits();
    if (i < n && text[i] == u'.') {
        digits += text[i++];
        mantissa = takeDigits() || mantissa;
    }
    if (!mantissa)
        return 0.0;
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        const qsizetype mark = i;
        QString exponent = QStringLiteral("e");
        ++i;
        skipBlanks();
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            exponent += text[i++];
        const qsizetype before = digits.size();
        if (takeDigits()) {
            exponent += digits.mid(before);
            digits.truncate(before);
            digits += exponent;
        } else {
            i = mark;
        }
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

} // namespace zentavo
