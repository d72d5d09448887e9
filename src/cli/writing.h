#pragma once

#include "cli/commandline.h"

#include <QStringList>

namespace zentavo {

class Passphrases;
class Roster;
class RandomSource;

namespace cli {

// The names a password each is made for, and the roster they come from.
struct Named
{
    const QStringList &names;
    const Roster *roster = nullptr; // written back with the passwords
};

// Makes the request's passwords with the window's generator and `random`
// (or passphrases, given `phrases`) and writes them, as they are made, in its
// format to its destination (the -o file, or `output`): one for each of
// `named.names` when there are names. Throws OutputFailed, whose message
// names what the user gave, and RosterRefusal for a password the roster's
// platform would refuse (nothing is written then).
void writePasswords(const Request &request, const Named &named, const Passphrases *phrases,
                    RandomSource &random, int output);

} // namespace cli
} // namespace zentavo
