#include "DiscTool.h"

#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

int main(int argc, char **argv)
{
    // The check lays texts out in the menu's fonts as the menu does, which takes Qt's font
    // machinery but no display: the tool shows no window. Qt is given none of the tool's own
    // arguments, so that it takes no folder's name for one of its options.
    char platform[] = "-platform";
    char offscreen[] = "offscreen";
    char *qtArguments[] = {argv[0], platform, offscreen, nullptr};
    int qtCount = 3;
    // The tool says what it finds on its own; Qt's remarks about the machine it runs on
    // (no XDG_RUNTIME_DIR for a root shell) are no part of that.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg)
            std::fprintf(stderr, "brindle-disc: %s\n", qPrintable(message));
    });
    // Qt makes a runtime folder for a session that names none (a root shell): one of the tool's own,
    // removed when it ends, leaves nothing behind.
    std::optional<QTemporaryDir> runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime.emplace();
        if (runtime->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    QGuiApplication app(qtCount, qtArguments);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return DiscTool::Run(arguments);
}
