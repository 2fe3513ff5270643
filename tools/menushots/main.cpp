// Takes a picture of each of the menu's four pages, of the copy dialog on its first page (offering
// the disc's first template) and of the credits window, as the menu shows them on the given disc.
// The dialog proposes the default folder in the home folder of whoever runs it.
//
//     QT_QPA_PLATFORM=offscreen HOME=/home/user menushots <disc>/CD07 <output folder>

#include "app/Application.h"
#include "app/CopyF.h"
#include "app/CredFrm.h"
#include "app/GlobalsU.h"
#include "app/LaunchF.h"
#include "app/MainF.h"
#include "platform/ErrorBox.h"
#include "platform/FileOps.h"
#include "platform/Fonts.h"
#include "toolkit/Control.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

bool click(TfrmMain &form, const char *name)
{
    auto *control = form.findChild<TControl *>(QLatin1String(name));
    if (!control)
        return false;
    control->Click();
    QCoreApplication::processEvents();
    return true;
}

bool save(QWidget &window, const QString &folder, const char *name)
{
    QCoreApplication::processEvents();
    return window.grab().save(QDir(folder).filePath(QLatin1String(name)), "PNG");
}

// Lets the event loop run for a while (the credits scroll meanwhile).
void wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The copy dialog as a double-click on the disc's first template opens it the first time.
bool saveCopyDialog(TfrmMain &form, const QString &folder)
{
    const QString templates = GlobalsU::AppFolder() + QStringLiteral("Files/Templates/");
    const QStringList names = FileOps::ListFiles(templates, QStringLiteral("*.*"));
    if (names.isEmpty())
        return false;
    TfrmCopy dialog(&form, 0, templates + names.first());
    dialog.SetDestination(CopyF::DefaultTemplateFolder() + names.first());
    dialog.show();
    return save(dialog, folder, "copy-dialog.png");
}

// The credits window once the first lines have scrolled into its box.
bool saveCredits(TfrmMain &form, const QString &folder)
{
    TfrmCredits credits(&form);
    credits.Create();
    credits.show();
    wait(3000);
    return save(credits, folder, "credits.png");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: menushots <program path on the disc> <output folder>\n";
        return 2;
    }
    const QString program = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString output = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(output);

    Fonts::Install();
    GlobalsU::InitDiscContext(program);
    QDir::setCurrent(GlobalsU::AppFolder());
    int errors = 0;
    ErrorBox::SetPresenter([&err, &errors](const QString &, const QString &text) {
        err << text << '\n';
        ++errors;
    });

    TfrmMain form;
    Application::SetMainForm(&form);
    form.Create();
    form.show();
    TLauncher launcher;
    Application::SetLauncher(&launcher);
    launcher.Create();

    const bool ok = save(form, output, "main.png") && click(form, "anmMainSampleware") &&
                    save(form, output, "sampleware.png") && click(form, "lblSamplewareBack") &&
                    click(form, "anmMainTemplate") && save(form, output, "extra-files.png") &&
                    click(form, "lblExtraBack") && click(form, "anmMainToolbox") && save(form, output, "toolbox.png") &&
                    saveCopyDialog(form, output) && saveCredits(form, output);
    Application::SetLauncher(nullptr);
    Application::SetMainForm(nullptr);
    if (!ok)
        err << "could not take the pictures\n";
    return ok && errors == 0 ? 0 : 1;
}
