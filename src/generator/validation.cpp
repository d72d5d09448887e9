#include "generator/validation.h"

#include <QCoreApplication>

namespace zentavo {

NumberCheck checkNumber(const QString &text, const OptionSetting &option, Notation notation)
{
    const std::optional<double> number = parseNumber(text, notation);
    if (!number)
        return {NumberCheck::Fault::NotANumber};
    const double rounded = roundHalfEven(*number);
    if (rounded < 1)
        return {NumberCheck::Fault::BelowOne};
    if (rounded > double(option.maximum))
        return {NumberCheck::Fault::AboveMaximum};
    return {NumberCheck::Fault::None, qint64(rounded)};
}

std::optional<QString> numberFieldWarning(const QString &text, const OptionSetting &option,
                                          const QString &tooLarge)
{
    switch (checkNumber(text, option).fault) {
    case NumberCheck::Fault::NotANumber:
        return QCoreApplication::translate("zentavo::Validation", "Must be numeric entry.");
    case NumberCheck::Fault::BelowOne:
        return QCoreApplication::translate("zentavo::Validation", "Must be greater than 0.");
    case NumberCheck::Fault::AboveMaximum:
        return tooLarge;
    case NumberCheck::Fault::None:
        break;
    }
    return std::nullopt;
}

} // namespace zentavo
