#include "generator/passwordshape.h"

#include "generator/groups.h"

namespace zentavo {

PasswordShape shapePassword(const QStringList &leading, QStringView pool, qsizetype length,
                            const GenerationOptions &options)
{
    PasswordShape shape;
    for (const QString &group : leading)
        shape.spans.push_back({CharacterPool(group), 1});
    const qsizetype rest = length - qsizetype(leading.size());
    if (!pool.isEmpty() && rest > 0)
        shape.spans.push_back({CharacterPool(pool), rest});
    for (const PasswordShape::Span &span : shape.spans)
        shape.length += span.positions;
    if (options.lastCharacterDigit && shape.length > 0)
        shape.lastDigit = CharacterPool(lastDigits(options));
    shape.space = options.includeSpace && shape.length > 0;
    return shape;
}

} // namespace zentavo
