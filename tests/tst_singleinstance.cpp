#include "TestSupport.h"

#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <cstring>
#include <memory>
#include <thread>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const QString LockName = QStringLiteral("SingleInstanceProgramHMutex");
// A user of this machine other than the one running the tests; no account is needed for one.
constexpr uid_t OtherUser = 43210;

// A process of the other user's: it listens at path (bound before it becomes that user when
// bindFirst, so that it can sit in a folder of this user's) and prints what it receives; without a
// path it only lives. nullptr when it did not start.
std::unique_ptr<QProcess> startOtherUsersProcess(const QString &path, bool bindFirst)
{
    static const char script[] = R"(import os, socket, sys, time
path, bind_first, user = sys.argv[1], sys.argv[2] == "1", int(sys.argv[3])
listener = socket.socket(socket.AF_UNIX) if path else None
if listener and bind_first: listener.bind(path)
os.setresgid(user, user, user)
os.setresuid(user, user, user)
if listener and not bind_first: listener.bind(path)
if listener: listener.listen(4)
print("ready", flush=True)
while True:
    if not listener: time.sleep(60); continue
    connection, _ = listener.accept()
    sys.stdout.buffer.write(connection.recv(4096)); sys.stdout.flush(); connection.close()
)";
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral("python3"),
                   {QStringLiteral("-c"), QLatin1String(script), path,
                    bindFirst ? QStringLiteral("1") : QStringLiteral("0"), QString::number(OtherUser)});
    while (!process->canReadLine() && process->waitForReadyRead(10000)) {
    }
    if (process->readLine() != "ready\n") {
        qWarning().noquote() << process->readAllStandardError();
        return nullptr;
    }
    return process;
}

// Sets an environment variable while it lives.
class Environment
{
public:
    Environment(const char *name, const QByteArray &value) : name_(name), old_(qgetenv(name)) { qputenv(name, value); }
    ~Environment() { qputenv(name_, old_); }

private:
    const char *name_;
    QByteArray old_;
};

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

    QString LockFile() const { return InstanceLock(LockName).FilePath(); }

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
        // The lock is held only while the windows are created: the menu listens just before it lets go.
        // QTRY evaluates its condition once more when it ends, so a lock once taken counts as taken.
        InstanceLock lock(LockName);
        bool acquired = false;
        QTRY_VERIFY_WITH_TIMEOUT(acquired || (acquired = lock.Acquire(0) == InstanceLock::Outcome::Acquired), 5000);
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
        lock.write(QByteArray::number(deadPid) + "\nCD07\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();

        QProcess *next = setup.Start();
        QTRY_VERIFY_WITH_TIMEOUT(setup.MenuListening(), 15000);
        QCOMPARE(next->state(), QProcess::Running);
    }

    // A start that waits while another holds the lock takes it the moment the holder lets go, and
    // the lock leaves no file behind once given up.
    void lockPassesToTheWaitingStart()
    {
        DiscWithProgram setup;
        InstanceLock holder(LockName);
        InstanceLock waiter(LockName);
        QCOMPARE(holder.Acquire(0), InstanceLock::Outcome::Acquired);
        QCOMPARE(waiter.Acquire(50), InstanceLock::Outcome::TimedOut);
        std::thread releaser([&holder] {
            QThread::msleep(200);
            holder.Release();
        });
        QElapsedTimer clock;
        clock.start();
        const InstanceLock::Outcome outcome = waiter.Acquire(5000);
        const qint64 waited = clock.elapsed();
        releaser.join();
        QCOMPARE(outcome, InstanceLock::Outcome::Acquired);
        QVERIFY2(waited >= 150 && waited < 4000, qPrintable(QString::number(waited)));
        QCOMPARE(holder.Acquire(0), InstanceLock::Outcome::TimedOut);
        waiter.Release();
        QVERIFY(!QFileInfo::exists(setup.LockFile()));
    }

    // A connection that talks on past a request's length is dropped unanswered, and the menu goes
    // on answering later starts.
    void overlongRequestIsDropped()
    {
        DiscWithProgram setup;
        QWidget window;
        InstanceChannel running(QStringLiteral("TfrmTest"), QStringLiteral("Brindlemoor"));
        QVERIFY(running.Listen(&window));
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        const QByteArray path =
            QFile::encodeName(setup.runtime.filePath(QStringLiteral("TfrmTest-Brindlemoor-%1").arg(::getuid())));
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const int talker = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(talker >= 0);
        QCOMPARE(::connect(talker, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
        const QByteArray chatter(16384, 'x');
        QCOMPARE(::send(talker, chatter.constData(), size_t(chatter.size()), MSG_NOSIGNAL), ssize_t(chatter.size()));
        char answer = 0;
        QTRY_VERIFY(::recv(talker, &answer, 1, MSG_DONTWAIT) == 0 || errno == ECONNRESET);
        ::close(talker);
        QVERIFY(InstanceChannel(QStringLiteral("TfrmTest"), QStringLiteral("Brindlemoor")).RaiseRunningCopy());
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
        const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_RUNTIME_DIR", tooLong.toLocal8Bit());
        for (const QString &cache : {base.path(), tooLong}) {
            qputenv("XDG_CACHE_HOME", cache.toLocal8Bit());
            const bool found = cache == base.path();
            if (!found)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("a later start will not find")));
            QWidget window;
            InstanceChannel running(QStringLiteral("TfrmTest"), QStringLiteral("Brindlemoor"));
            QCOMPARE(running.Listen(&window), found);
            QCOMPARE(InstanceChannel(QStringLiteral("TfrmTest"), QStringLiteral("Brindlemoor")).RaiseRunningCopy(),
                     found);
        }
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("XDG_CACHE_HOME", oldCache);
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

    // Another user who makes the folder a copy of this user's falls back to, or listens where a copy
    // of this user's would, neither stops this user's menu from starting nor hears from it.
    void anotherUsersListenerIsNotAnswered_data()
    {
        QTest::addColumn<QString>("folderOwner"); // "other", or "this" with the mode below
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("bindFirst");
        QTest::newRow("folder of another user") << "other" << 0700 << false;
        QTest::newRow("folder of this user's open to others") << "this" << 0777 << false;
        QTest::newRow("listener of another user in this user's folder") << "this" << 0700 << true;
    }

    void anotherUsersListenerIsNotAnswered()
    {
        QFETCH(QString, folderOwner);
        QFETCH(int, mode);
        QFETCH(bool, bindFirst);
        QTemporaryDir base;
        QVERIFY(::chmod(QFile::encodeName(base.path()).constData(), 0755) == 0);
        // A runtime folder whose path is too long for a socket: the fallback folder is used.
        const QString tooLong = base.path() + QLatin1Char('/') + QString(110, QLatin1Char('x'));
        QVERIFY(QDir().mkpath(tooLong));
        QVERIFY(::chmod(QFile::encodeName(tooLong).constData(), 0700) == 0);
        const Environment runtime("XDG_RUNTIME_DIR", tooLong.toLocal8Bit());
        const Environment cache("XDG_CACHE_HOME", base.path().toLocal8Bit());
        const Environment token("XDG_ACTIVATION_TOKEN", "secret-token");

        const QByteArray folder = QFile::encodeName(base.path()) + "/brindlemoor-" + QByteArray::number(::getuid());
        QCOMPARE(::mkdir(folder.constData(), 0700), 0);
        QCOMPARE(::chmod(folder.constData(), mode_t(mode)), 0);
        if (folderOwner == QLatin1String("other"))
            QCOMPARE(::chown(folder.constData(), OtherUser, OtherUser), 0);
        const auto listener = startOtherUsersProcess(QFile::decodeName(folder + "/TfrmTest-Brindlemoor"), bindFirst);
        QVERIFY(listener);

        QVERIFY(!InstanceChannel(QStringLiteral("TfrmTest"), QStringLiteral("Brindlemoor")).RaiseRunningCopy());
        QTest::qWait(100);
        QCOMPARE(listener->readAllStandardOutput(), QByteArray());
        listener->kill();
        listener->waitForFinished();
    }

    // The start-up lock is this user's alone: a lock file of another user's where the lock used to
    // live does not hold a start up, nor does another user's folder where the fallback folder used
    // to be; where this user has no private folder at all the menu starts.
    void lockIsThisUsersAlone_data()
    {
        QTest::addColumn<QString>("squatted"); // "temporary" or "cache": whose folder another user has made
        QTest::newRow("runtime folder of another user") << "";
        QTest::newRow("the old fallback folder made by another user") << "temporary";
        QTest::newRow("no folder of this user's at all") << "cache";
    }

    void lockIsThisUsersAlone()
    {
        QFETCH(QString, squatted);
        QTemporaryDir base;
        // The runtime folder given, and the one Qt falls back to, are the other user's.
        const QString theirs = base.filePath(QStringLiteral("theirs"));
        const QString fallback =
            base.filePath(QStringLiteral("runtime-") + QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name));
        for (const QString &folder : {theirs, fallback}) {
            QVERIFY(QDir().mkpath(folder));
            QCOMPARE(::chown(QFile::encodeName(folder).constData(), OtherUser, OtherUser), 0);
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
        }
        const Environment runtime("XDG_RUNTIME_DIR", theirs.toLocal8Bit());
        const Environment temporary("TMPDIR", base.path().toLocal8Bit());
        const QString cache = base.filePath(QStringLiteral("cache"));
        const Environment cacheFolder("XDG_CACHE_HOME", cache.toLocal8Bit());
        const QString folder = (squatted == QLatin1String("cache") ? cache : base.path()) +
                               QStringLiteral("/brindlemoor-") + QString::number(::getuid());
        if (!squatted.isEmpty()) {
            QVERIFY(QDir().mkpath(folder));
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
            QCOMPARE(::chown(QFile::encodeName(folder).constData(), OtherUser, OtherUser), 0);
        }
        // The other user's live process holds a lock file in the shared temporary folder.
        const auto holder = startOtherUsersProcess({}, false);
        QVERIFY(holder);
        QFile planted(base.filePath(LockName + QStringLiteral(".lock")));
        QVERIFY(planted.open(QIODevice::WriteOnly));
        const QString program = QFileInfo(QStringLiteral("/proc/%1/exe").arg(holder->processId())).symLinkTarget();
        planted.write(QByteArray::number(holder->processId()) + '\n' + program.toUtf8() + '\n' +
                      QSysInfo::machineHostName().toUtf8() + '\n');
        planted.close();

        InstanceLock lock(LockName);
        QElapsedTimer clock;
        clock.start();
        const InstanceLock::Outcome outcome = lock.Acquire(2000);
        QVERIFY(outcome != InstanceLock::Outcome::TimedOut);
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(outcome,
                 squatted == QLatin1String("cache") ? InstanceLock::Outcome::Failed : InstanceLock::Outcome::Acquired);
        lock.Release();
        holder->kill();
        holder->waitForFinished();
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
