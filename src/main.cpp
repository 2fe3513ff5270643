#include "app/OwnPlugins.h"
#include "app/Startup.h"
#include "platform/FontConfigLoad.h"
#include "platform/SessionBus.h"

#include <QApplication>

#include <memory>

int main(int argc, char **argv)
{
    // The font configuration is read while Qt starts, which waits on the display much of the time.
    FontConfigLoad fontConfig;
    auto ownPlugins = std::make_unique<OwnPlugins>();
    QApplication app(argc, argv);
    ownPlugins.reset();
    // Connected while the main window is built: its first named control starts the accessibility
    // bridge, which connects to the bus.
    const SessionBus sessionBus;
    fontConfig.Wait();
    return RunMenu(QCoreApplication::applicationFilePath());
}
