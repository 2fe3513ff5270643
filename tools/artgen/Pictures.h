#pragma once

#include "Paint.h"

#include <QImage>
#include <QList>

// The still pictures of the main window and the credits window, and the disc's own artwork.
namespace Pictures {

// The main page: four captioned button panels around the buttons' rest frames
// (sampleware, order, extra files, toolbox).
QImage MainScreen(const QImage &sampleware, const QImage &order, const QImage &extraFiles, const QImage &toolbox);

// The whole window's backdrop in a colour scheme, with the main page in the panel and the given
// Quit emblem (39 by 55) in its place.
QImage Backdrop(const Paint::Scheme &scheme, const QImage &mainScreen, const QImage &quit);

// The Quit emblem, 39 by 55: a cross in a circle over the word Quit (red when lit).
QImage Quit(bool lit);

// The page backdrops; lit draws the page's bullets and arrow lit (for cutting out the lit pictures).
QImage SamplewarePage(bool lit);
QImage ExtraFilesPage(bool lit);
QImage ToolboxPage();

// The placeholder for the sample program's picture, 214 by 180.
QImage SamplePlaceholder();
// A screenshot of a sample program, 214 by 180, for the disc.
QImage SampleScreenshot();

// The credits window's promotional page, 462 by 439, with the blank framed box for the scroller.
QImage Credits();

// The program icon's picture, 32 by 32, drawn in the standard 16 colours; transparent outside.
QImage IconPicture();

} // namespace Pictures
