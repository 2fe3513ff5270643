#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// Looks at a picture file the way the menu loads one: a Windows bitmap and nothing else.
struct BitmapProbe
{
    enum class State {
        Missing,
        Unreadable,
        Invalid,
        Valid,
    };

    State state = State::Missing;
    QSize size;
    QString problem; // why it cannot be read, for Unreadable

    static BitmapProbe Inspect(const QString &path);
    // A picture file's bytes: Invalid or Valid.
    static BitmapProbe Decode(const QByteArray &bytes);
};
