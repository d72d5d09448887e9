#include "generator/validation.h"

#include "generator/numbers.h"

#include <QCoreApplication>

namespace zentavo {

std::optional<QString> numberFieldWarning(const QString &text, qint64 maximum, const QString &tooLarge)
{
    const std::optional<double> number = parseNumber(text);
    if (!number)
        return QCoreApplication::translate("zentavo::Validation", "Must be numeric entry.");
    const double rounded = roundHalfEven(*number);
    if (rounded <= 0)
        return QCoreApplication::translate("zentavo::Validation", "Must be greater than 0.");
    if (rounded > double(maximum))
        return tooLarge;
    return std::nullopt;
}

} // namespace zentavo
