#include "app/OwnPlugins.h"
#include "app/Startup.h"

#include <QApplication>

#include <memory>

int main(int argc, char **argv)
{
    auto ownPlugins = std::make_unique<OwnPlugins>();
    QApplication app(argc, argv);
    ownPlugins.reset();
    return RunMenu(QCoreApplication::applicationFilePath());
}
