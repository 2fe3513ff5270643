// Many copies of the real program started at once on one desktop: one menu stays, the others
// bring it forward and end.

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A disc with the real program on it, and a desktop (runtime folder, home) of its own.
class Desktop
{
public:
    Desktop()
    {
        disc.WriteStartFiles();
        program = disc.ProgramPath(QStringLiteral("CD07"));
        QFile::copy(QString::fromLocal8Bit(qgetenv("BRINDLE_PROGRAM")), program);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    ~Desktop()
    {
        for (auto &process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
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
        processes.push_back(std::move(process));
        return processes.back().get();
    }

    int Running() const
    {
        return int(std::count_if(processes.begin(), processes.end(),
                                 [](const auto &p) { return p->state() != QProcess::NotRunning; }));
    }

    bool MenuListening() const
    {
        return !QDir(runtime.path())
                    .entryList({QStringLiteral("TfrmMain-Brindlemoor-*")}, QDir::System | QDir::Files)
                    .isEmpty();
    }

    TempDisc disc;
    QTemporaryDir runtime;
    QTemporaryDir home;
    QString program;
    std::vector<std::unique_ptr<QProcess>> processes;
};

} // namespace

class TestInstanceLoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!qgetenv("BRINDLE_PROGRAM").isEmpty(), "BRINDLE_PROGRAM names the program"); }

    void eightStartsAtOnceLeaveOneMenu()
    {
        Desktop desktop;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 8; ++i)
            desktop.Start();
        for (auto &process : desktop.processes)
            QVERIFY(process->waitForStarted(5000));

        QTRY_VERIFY_WITH_TIMEOUT(desktop.Running() == 1, 12000 - int(clock.elapsed()));
        for (auto &process : desktop.processes) {
            if (process->state() != QProcess::NotRunning)
                continue;
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QCOMPARE(process->exitCode(), 0);
        }
        QVERIFY(desktop.MenuListening());

        // The menu that stayed still answers: a later start finds it and ends at once.
        QProcess *later = desktop.Start();
        QVERIFY(later->waitForFinished(8000));
        QCOMPARE(later->exitCode(), 0);
        QCOMPARE(desktop.Running(), 1);
    }
};

QTEST_MAIN(TestInstanceLoad)
#include "tst_instanceload.moc"
