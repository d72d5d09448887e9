// The generator alone, without a window: a million passwords into a results
// list that no view watches, for a few option sets.

#include "benchsupport.h"
#include "core/errorreport.h"
#include "generator/passwordgenerator.h"
#include "generator/randomsource.h"
#include "results/resultslist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

using namespace zentavo;

namespace {

void measure(const char *name, GenerationOptions options)
{
    bench::Generation generation;
    generation.host.current = options;
    QElapsedTimer timer;
    timer.start();
    generation.run();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qint64 rows = generation.host.list.storedRowCount();
    const double characters = double(rows) * options.passwordLength.toInt();
    std::printf("%-44s %9.3f s %12.0f passwords/s %7.1f ns/character\n", name, seconds, rows / seconds,
                seconds * 1e9 / characters);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    GenerationOptions firstRun;
    firstRun.useLowerCase = firstRun.useUpperCase = firstRun.useDigits = true;
    firstRun.passwordCount = QStringLiteral("1000000");
    firstRun.passwordLength = QStringLiteral("16");
    firstRun.removeVowels = firstRun.includeSpace = firstRun.lastCharacterDigit = true;
    firstRun.atLeastOneFromEachGroup = firstRun.showLineNumbers = true;
    measure("1,000,000 x 16, first-run options", firstRun);

    GenerationOptions plain = firstRun;
    plain.removeVowels = plain.includeSpace = plain.lastCharacterDigit = false;
    plain.atLeastOneFromEachGroup = plain.showLineNumbers = false;
    measure("1,000,000 x 16, plain, 62 characters", plain);

    GenerationOptions own = plain;
    own.useSpecified = true;
    own.specifiedCharacters = QString::fromUtf8("äöü€😀😎!?");
    own.atLeastOneFromEachGroup = true;
    measure("1,000,000 x 16, at-least, own characters", own);
    return 0;
}
