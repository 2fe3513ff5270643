#pragma once

#include <QByteArray>
#include <QString>

// 8-bit text in the Windows Latin-1 code page (Windows-1252), which Qt has no codec for.
namespace AnsiText {

// The bytes as Unicode text; 0x80-0x9F take their Windows-1252 meaning, the five bytes that code
// page leaves unassigned pass through as the C1 controls of the same value.
QString Decode(const QByteArray &bytes);

} // namespace AnsiText
