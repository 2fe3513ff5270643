#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>

#include <functional>

class TImageList;

// The program's built-in artwork: the windows' pictures, the animated buttons' image lists and
// the program icon, read from the stored forms embedded in the program.
namespace Artwork {

// The named built-in picture ("imgMainBack", "imgQuit", "imgMainScreen", "imgSampleware",
// "imgSample", "imgLitBullet", "imgArrow", "imgExtraFiles", "imgToolbox", "imgCredits").
// Raises EFOpenError for an unknown name and the picture reader's errors for bad data.
QImage Picture(const QString &name);

// Reads the named built-in picture when called, for a picture control that decodes it only when
// it is first needed.
std::function<QImage()> DeferredPicture(const QString &name);

// Rebuilds list from the named built-in image-list stream ("ilstExtraFiles", "ilstSampleware",
// "ilstOrder", "ilstToolBox"). Raises EReadError "Failed to read ImageList data from stream".
void LoadImageList(const QString &name, TImageList &list);

// The bytes of the embedded file (such as "imgMainBack.pic"), valid for the program's life. Raises
// EFOpenError for an unknown file.
QByteArray Unpacked(const QString &fileName);

// The 32 by 32 program and window icon.
QIcon Icon();

// The icon as a complete 766-byte icon file.
QByteArray IconFile();

} // namespace Artwork
