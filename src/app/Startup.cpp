#include "app/Startup.h"

#include "app/Application.h"
#include "app/CredFrm.h"
#include "app/DiscPictures.h"
#include "app/GlobalsU.h"
#include "app/LaunchF.h"
#include "app/MainF.h"
#include "platform/AppTitle.h"
#include "platform/ErrorBox.h"
#include "platform/Fonts.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"
#include "toolkit/Dispatch.h"
#include "toolkit/Exceptions.h"

#include <QApplication>
#include <QFileInfo>

#include <exception>
#include <memory>

namespace {
const QString MutexName = QStringLiteral("SingleInstanceProgramHMutex");
const QString MainWindowClass = QStringLiteral("TfrmMain");
const QString MainCaption = QStringLiteral("Brindlemoor");
constexpr int StartUpWaitMs = 10000;
} // namespace

bool CheckSingleInstance(InstanceLock &lock)
{
    const InstanceLock::Outcome outcome = lock.Acquire(StartUpWaitMs);
    if (outcome == InstanceLock::Outcome::TimedOut)
        return false;
    if (outcome == InstanceLock::Outcome::Failed)
        qWarning("Brindlemoor: starting without the start-up lock, for want of a folder of this user's own to hold "
                 "it: a start at the same moment may open a second menu");
    // Acquired, taken over from a copy that died, or not to be had at all: look for a running menu.
    return !InstanceChannel(MainWindowClass, MainCaption).RaiseRunningCopy();
}

int RunMenu(const QString &programPath)
{
    const auto installFonts = [&programPath] {
        Fonts::Install(QFileInfo(programPath).absolutePath() + QLatin1Char('/') + QLatin1String(RuntimeFolder) +
                       QStringLiteral("fonts"));
    };
    try {
        GlobalsU::InitDiscContext(programPath);
    } catch (...) {
        installFonts();
        Dispatch::ReportCurrentError();
        return 1;
    }
    // Read while the fonts are installed and the window is built.
    DiscPictures discPictures;
    installFonts();

    InstanceLock lock(MutexName);
    if (!CheckSingleInstance(lock))
        return 0;

    AppTitle::SetTitle(QStringLiteral("Brindlemoor"));

    std::unique_ptr<TfrmMain> frmMain;
    std::unique_ptr<TLauncher> launcher;
    std::unique_ptr<TfrmCredits> frmCredits;
    InstanceChannel channel(MainWindowClass, MainCaption);
    std::exception_ptr failure;
    try {
        frmMain = std::make_unique<TfrmMain>(nullptr, std::move(discPictures));
        Application::SetMainForm(frmMain.get());
        frmMain->Create();
        frmMain->show();
        launcher = std::make_unique<TLauncher>();
        Application::SetLauncher(launcher.get());
        launcher->Create();
        frmCredits = std::make_unique<TfrmCredits>(frmMain.get());
        Application::SetCredits(frmCredits.get());
        frmCredits->Create();
    } catch (...) {
        failure = std::current_exception();
    }

    // Whether creation completed or not, a later start must be able to find the main window
    // before the start-up lock is given up.
    if (frmMain) {
        frmMain->winId();
        channel.Listen(frmMain.get());
    }
    lock.Release();
    // Reported once the lock is free, so that a later start is not kept waiting while the box is open.
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (...) {
            Dispatch::ReportCurrentError();
        }
    }

    int status = 1;
    if (!failure)
        status = QApplication::exec();

    Application::SetCredits(nullptr);
    Application::SetLauncher(nullptr);
    Application::SetMainForm(nullptr);
    return status;
}
