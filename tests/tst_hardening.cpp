// What the hardening library promises: a freed or moved block keeps no copy
// of what it held, and no other process of the same user reads the memory.
#include "hardening/hardening.h"
#include "runningwindow.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zentavo;

class TestHardening : public QObject
{
    Q_OBJECT

private slots:
    void aBlockLetGoKeepsNoCopy_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<qsizetype>("grownTo"); // 0: freed
        QTest::addRow("small block freed") << qsizetype(200) << qsizetype(0);
        QTest::addRow("small block moved by growing") << qsizetype(200) << qsizetype(100000);
        QTest::addRow("large block freed") << qsizetype(4 << 20) << qsizetype(0);
        QTest::addRow("large block grown") << qsizetype(4 << 20) << qsizetype(64 << 20);
    }
    void aBlockLetGoKeepsNoCopy()
    {
        QFETCH(qsizetype, size);
        QFETCH(qsizetype, grownTo);
        QVERIFY(wipesFreedMemory());
        auto *block = static_cast<char *>(std::malloc(std::size_t(size)));
        std::memset(block, 'Z', std::size_t(size));
        const auto old = reinterpret_cast<quintptr>(block);
        if (grownTo) {
            block = static_cast<char *>(std::realloc(block, std::size_t(grownTo)));
            QVERIFY(block && std::count(block, block + size, 'Z') == size);
            if (reinterpret_cast<quintptr>(block) == old)
                return std::free(block); // grown where it was
        } else {
            std::free(block);
        }
        // Its pages went back to the system, or every byte past the
        // allocator's own bookkeeping was overwritten.
        const auto page = quintptr(::sysconf(_SC_PAGESIZE));
        unsigned char resident = 0;
        const auto *left = reinterpret_cast<const char *>(old);
        const bool mapped = ::mincore(reinterpret_cast<void *>(old / page * page), 1, &resident) == 0;
        QCOMPARE(mapped ? std::count(left + 32, left + size, 'Z') : 0, 0);
        if (grownTo)
            std::free(block);
    }

    // A second process of the same user, not root, tries to read the
    // program's memory (and is allowed to when the program is not hardened).
    void otherProcessesCannotReadTheMemory_data()
    {
        QTest::addColumn<bool>("hardened");
        QTest::addRow("hardened") << true;
        QTest::addRow("not hardened, for comparison") << false;
    }
    void otherProcessesCannotReadTheMemory()
    {
        QFETCH(bool, hardened);
        const pid_t reader = ::fork();
        if (reader == 0) {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) // nobody
                ::_exit(3);
            ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0); // as a program started by this user is
            int ready[2];
            if (::pipe(ready) != 0)
                ::_exit(3);
            const pid_t program = ::fork(); // its child, as the system's ptrace policy may require
            if (program == 0) {
                if (hardened)
                    hardenProcess();
                (void)!::write(ready[1], "r", 1);
                ::pause();
                ::_exit(0);
            }
            char byte = 0;
            (void)!::read(ready[0], &byte, 1);
            const QByteArray memory = "/proc/" + QByteArray::number(program) + "/mem";
            const int fd = ::open(memory.constData(), O_RDONLY);
            const bool attached = ::ptrace(PTRACE_ATTACH, program, nullptr, nullptr) == 0;
            ::kill(program, SIGKILL);
            ::_exit(fd >= 0 || attached ? 1 : 0);
        }
        int status = 0;
        QCOMPARE(::waitpid(reader, &status, 0), reader);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) != 3);
        QCOMPARE(WEXITSTATUS(status) == 0, hardened);
    }

    // Both programs run under each allocator and wipe what they free through
    // it: the command line makes its passwords, the window starts and ends
    // as a session ends it, neither says it cannot wipe, and the table above
    // passes in this very program under it.
    void everyAllocatorIsWipedThrough_data()
    {
        QTest::addColumn<QString>("preload");
        QTest::addRow("the C library's") << QString();
        QTest::addRow("the C library's debugging one") << "libc_malloc_debug.so.0";
        QTest::addRow("jemalloc") << "libjemalloc.so.2";
        QTest::addRow("tcmalloc") << "libtcmalloc_minimal.so.4";
        QTest::addRow("mimalloc") << "libmimalloc.so.2";
    }
    void everyAllocatorIsWipedThrough()
    {
        QFETCH(QString, preload);
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("LD_PRELOAD"), preload);
        environment.insert(QStringLiteral("MALLOC_CHECK_"), QStringLiteral("3"));
        QProcess table, cli;
        for (QProcess *program : {&table, &cli}) {
            QProcessEnvironment everything = QProcessEnvironment::systemEnvironment();
            everything.insert(environment);
            program->setProcessEnvironment(everything);
        }
        table.start(QCoreApplication::applicationFilePath(), {QStringLiteral("aBlockLetGoKeepsNoCopy")});
        cli.start(QStringLiteral(ZENTAVO_CLI), {QStringLiteral("-n"), QStringLiteral("1000")});
        QTemporaryDir home;
        test::RunningWindow window(home.path(), environment);
        QVERIFY(window.endsCleanly());
        for (QProcess *program : {&table, &cli})
            QVERIFY(program->state() == QProcess::NotRunning || program->waitForFinished(60000));
        QVERIFY2(table.exitCode() == 0 && table.readAllStandardOutput().contains(" 0 failed, 0 skipped"),
                 table.readAllStandardError().constData());
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(cli.readAllStandardOutput().count('\n'), 1000);
        // ld.so says when it could not preload; the programs when they cannot wipe.
        QCOMPARE(cli.readAllStandardError(), QByteArray());
        const QByteArray said = window.process.readAllStandardError();
        QVERIFY2(!said.contains("preload") && !said.contains("not overwritten"), said.constData());
    }
};

QTEST_GUILESS_MAIN(TestHardening)
#include "tst_hardening.moc"
