// Takes a picture of each of the menu's four pages, as the menu shows them on the given disc.
//
//     QT_QPA_PLATFORM=offscreen menushots <disc>/CD07 <output folder>

#include "app/Application.h"
#include "app/GlobalsU.h"
#include "app/LaunchF.h"
#include "app/MainF.h"
#include "platform/ErrorBox.h"
#include "platform/Fonts.h"
#include "toolkit/Control.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

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

bool save(TfrmMain &form, const QString &folder, const char *name)
{
    QCoreApplication::processEvents();
    return form.grab().save(QDir(folder).filePath(QLatin1String(name)), "PNG");
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
                    click(form, "lblExtraBack") && click(form, "anmMainToolbox") && save(form, output, "toolbox.png");
    Application::SetLauncher(nullptr);
    Application::SetMainForm(nullptr);
    if (!ok)
        err << "could not take the pictures\n";
    return ok && errors == 0 ? 0 : 1;
}
