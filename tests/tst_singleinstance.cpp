#include "TestSupport.h"

#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {
const QString LockName = QStringLiteral("SingleInstanceProgramHMutex");

// A disc with the real program on it, started in processes of their own that share one desktop
// (one runtime folder) with this test.
class DiscWithProgram
{
public:
    DiscWithProgram()
    {
        disc.WriteStartFiles();
        program = disc.ProgramPath(QStringLiteral("CD07"));
        QFile::copy(QString::fromLocal8Bit(qgetenv("BRINDLE_PROGRAM")), program);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        previousRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }

    ~DiscWithProgram()
    {
        for (auto &p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        qputenv("XDG_RUNTIME_DIR", previousRuntime);
    }

    QProcess *Start()
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(disc.Root());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, {});
        process->waitForStarted();
        processes.push_back(std::move(process));
        return processes.back().get();
    }

    // The socket through which a running menu answers later starts.
    bool MenuListening() const
    {
        const QStringList entries =
            QDir(runtime.path()).entryList({QStringLiteral("TfrmMain-Brindlemoor-*")}, QDir::System | QDir::Files);
        return !entries.isEmpty();
    }

    QString LockFile() const { return runtime.path() + QLatin1Char('/') + LockName + QStringLiteral(".lock"); }

    TempDisc disc;
    QTemporaryDir runtime;
    QTemporaryDir home;
    QString program;
    QByteArray previousRuntime;
    std::vector<std::unique_ptr<QProcess>> processes;
};
} // namespace

// One menu per desktop: a second start brings the first forward and ends.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!qgetenv("BRINDLE_PROGRAM").isEmpty(), "BRINDLE_PROGRAM names the program"); }

    void firstStartRunsAndGivesUpTheLock()
    {
        DiscWithProgram setup;
        QProcess *first = setup.Start();
        QTRY_VERIFY_WITH_TIMEOUT(setup.MenuListening(), 15000);
        QCOMPARE(first->state(), QProcess::Running);
        // The lock is held only while the windows are created.
        InstanceLock lock(LockName);
        QCOMPARE(lock.Acquire(0), InstanceLock::Outcome::Acquired);
        lock.Release();
    }

    void secondStartBringsTheFirstForwardAndEnds()
    {
        DiscWithProgram setup;
        QProcess *first = setup.Start();
        QTRY_VERIFY_WITH_TIMEOUT(setup.MenuListening(), 15000);
        QProcess *second = setup.Start();
        QVERIFY2(second->waitForFinished(8000), "the second start did not end");
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
    }

    void startDuringAnotherStartsHoldEndsSilently()
    {
        DiscWithProgram setup;
        InstanceLock holder(LockName);
        QCOMPARE(holder.Acquire(0), InstanceLock::Outcome::Acquired);
        QElapsedTimer clock;
        clock.start();
        QProcess *waiting = setup.Start();
        QVERIFY(!waiting->waitForFinished(8000));
        QVERIFY2(waiting->waitForFinished(8000), "the start did not give up after 10 seconds");
        QVERIFY(clock.elapsed() >= 9500);
        QCOMPARE(waiting->exitCode(), 0);
        QVERIFY(!setup.MenuListening());
        holder.Release();
    }

    void startAfterAHolderDiedProceeds()
    {
        DiscWithProgram setup;
        // A copy killed while holding the lock leaves its lock file behind.
        QProcess dead;
        dead.start(QStringLiteral("sleep"), {QStringLiteral("0.1")});
        QVERIFY(dead.waitForStarted(5000));
        const qint64 deadPid = dead.processId();
        QVERIFY(dead.waitForFinished(5000));
        QFile lock(setup.LockFile());
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\nCD07\n" + QHostInfo::localHostName().toUtf8() + "\n");
        lock.close();

        QProcess *next = setup.Start();
        QTRY_VERIFY_WITH_TIMEOUT(setup.MenuListening(), 15000);
        QCOMPARE(next->state(), QProcess::Running);
    }

    // Where the runtime folder cannot hold the socket (its path is too long), the menu listens in a
    // private folder of its own, where a later start finds it; where neither can, it says so.
    void channelFallsBackToAFolderOfItsOwn()
    {
        QTemporaryDir base;
        const QString tooLong = base.path() + QLatin1Char('/') + QString(110, QLatin1Char('x'));
        QVERIFY(QDir().mkpath(tooLong));
        QFile::setPermissions(tooLong, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray oldTemp = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", tooLong.toLocal8Bit());
        for (const QString &temp : {base.path(), tooLong}) {
            qputenv("TMPDIR", temp.toLocal8Bit());
            const bool found = temp == base.path();
            if (!found)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("a later start will not find")));
            QWidget window;
            InstanceChannel running(QStringLiteral("TfrmTest"), QStringLiteral("Brindlemoor"));
            QCOMPARE(running.Listen(&window), found);
            QCOMPARE(InstanceChannel(QStringLiteral("TfrmTest"), QStringLiteral("Brindlemoor")).RaiseRunningCopy(),
                     found);
        }
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("TMPDIR", oldTemp);
    }

    void socketLeftByACrashedCopyIsReplaced()
    {
        DiscWithProgram setup;
        QProcess *crashed = setup.Start();
        QTRY_VERIFY_WITH_TIMEOUT(setup.MenuListening(), 15000);
        crashed->kill();
        crashed->waitForFinished(5000);
        QVERIFY(setup.MenuListening());

        QProcess *next = setup.Start();
        QVERIFY2(!next->waitForFinished(3000), "a dead copy's socket stopped the start");
        QProcess *third = setup.Start();
        QVERIFY(third->waitForFinished(8000));
        QCOMPARE(third->exitCode(), 0);
        QCOMPARE(next->state(), QProcess::Running);
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
