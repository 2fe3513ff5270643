#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The clip-art pictures and sounds of the sample disc, drawn and synthesised the same way every time.
namespace SampleMedia {

struct File
{
    QString name;
    QByteArray content;
};

// The GIF pictures of Files/Images/.
QList<File> Pictures();

// The WAVE sounds of Files/Sounds/.
QList<File> Sounds();

} // namespace SampleMedia
