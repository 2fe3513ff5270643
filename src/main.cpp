#include "app/ArtworkPrefetch.h"
#include "app/MainF.h"
#include "app/OwnPlugins.h"
#include "app/Startup.h"

#include <QApplication>

#include <memory>

int main(int argc, char **argv)
{
    // Unpacking the main window's artwork overlaps with the application's own start.
    const ArtworkPrefetch artwork(TfrmMain::FirstPaintArtwork());
    auto ownPlugins = std::make_unique<OwnPlugins>();
    QApplication app(argc, argv);
    ownPlugins.reset();
    return RunMenu(QCoreApplication::applicationFilePath());
}
