#pragma once

#include "cli/commandline.h"

#include <QStringList>

namespace zentavo {

class Passphrases;
class RandomSource;

namespace cli {

// Makes the request's passwords with the window's generator and `random`
// (or passphrases, given `phrases`) and writes them, as they are made, in its
// format to its destination (the -o file, or `output`): one for each of
// `names` when there are names. Throws OutputFailed, whose message names
// what the user gave.
void writePasswords(const Request &request, const QStringList &names, const Passphrases *phrases,
                    RandomSource &random, int output);

} // namespace cli
} // namespace zentavo
