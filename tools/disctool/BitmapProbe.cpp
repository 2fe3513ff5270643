#include "BitmapProbe.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

BitmapProbe BitmapProbe::Inspect(const QString &path)
{
    BitmapProbe probe;
    const QFileInfo info(path);
    if (!info.exists())
        return probe;
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        probe.state = State::Unreadable;
        probe.problem = info.isDir() ? QStringLiteral("it is a folder") : file.errorString();
        return probe;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        probe.state = State::Unreadable;
        probe.problem = file.errorString();
        return probe;
    }
    return Decode(data);
}

BitmapProbe BitmapProbe::Decode(const QByteArray &bytes)
{
    // The menu accepts only what starts as a Windows bitmap and decodes as one.
    BitmapProbe probe;
    const QImage image = bytes.startsWith("BM") ? QImage::fromData(bytes, "BMP") : QImage();
    probe.state = image.isNull() ? State::Invalid : State::Valid;
    probe.size = image.size();
    return probe;
}
