#include "DiscToolSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QtEndian>

#include <cstring>

ToolOutcome RunTool(const QString &program, const QStringList &arguments, const QString &shellPrefix,
                    const QStringList &wrapper, int timeoutMs)
{
    QProcess process;
    const QStringList command = wrapper + QStringList{program} + arguments;
    if (shellPrefix.isEmpty()) {
        process.start(command.first(), command.mid(1));
    } else {
        // "$0" and "$@" are the command, run once the prefix has limited or prepared something.
        process.start(QStringLiteral("/bin/sh"),
                      QStringList{QStringLiteral("-c"), shellPrefix + QStringLiteral(" exec \"$0\" \"$@\"")} + command);
    }
    ToolOutcome outcome;
    if (!process.waitForFinished(timeoutMs))
        return outcome;
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    outcome.errors = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

bool WriteFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray BitmapBytes(int width, int height, const QColor &colour, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

bool WriteDiscArt(const QString &art)
{
    const struct
    {
        const char *scheme;
        QColor colour;
    } schemes[] = {{"Blue", Qt::blue}, {"Red", Qt::red}, {"Purple", QColor(128, 0, 128)}, {"Green", Qt::green}};
    bool written = true;
    for (const auto &s : schemes)
        written =
            written && WriteFile(art + QStringLiteral("/Files/Interface/%1/MainBack.bmp").arg(QLatin1String(s.scheme)),
                                 BitmapBytes(640, 480, s.colour));
    return written &&
           WriteFile(art + QStringLiteral("/Files/Sample Pics/Sampleware.bmp"), BitmapBytes(214, 180, Qt::gray));
}

QByteArray ElfFile(const QStringList &needed, const QString &rpath, const QString &runpath, std::uint16_t machine,
                   qsizetype size)
{
    constexpr qsizetype HeaderSize = 64;
    constexpr qsizetype SegmentHeaderSize = 56;
    constexpr qsizetype StringsAt = HeaderSize + 2 * SegmentHeaderSize;
    QByteArray strings(1, '\0');
    QList<std::pair<qint64, quint64>> dynamic;
    const auto string = [&strings](const QString &text) {
        const quint64 offset = strings.size();
        strings += text.toUtf8() + '\0';
        return offset;
    };
    for (const QString &name : needed)
        dynamic.append({1, string(name)}); // DT_NEEDED
    if (!rpath.isEmpty())
        dynamic.append({15, string(rpath)}); // DT_RPATH
    if (!runpath.isEmpty())
        dynamic.append({29, string(runpath)});     // DT_RUNPATH
    dynamic.append({5, StringsAt});                // DT_STRTAB, at its own file offset
    dynamic.append({10, quint64(strings.size())}); // DT_STRSZ
    dynamic.append({0, 0});                        // DT_NULL
    const qsizetype dynamicAt = (StringsAt + strings.size() + 7) / 8 * 8;
    const qsizetype dynamicSize = dynamic.size() * 16;
    QByteArray file(std::max(size, dynamicAt + dynamicSize), '\0');
    char *bytes = file.data();
    const auto put16 = [bytes](qsizetype at, quint16 value) { qToLittleEndian(value, bytes + at); };
    const auto put32 = [bytes](qsizetype at, quint32 value) { qToLittleEndian(value, bytes + at); };
    const auto put64 = [bytes](qsizetype at, quint64 value) { qToLittleEndian(value, bytes + at); };
    std::memcpy(bytes,
                "\x7f"
                "ELF\x02\x01\x01",
                7); // 64-bit, little-endian, version 1
    put16(16, 3);   // a shared object
    put16(18, machine);
    put32(20, 1);
    put64(32, HeaderSize);
    put16(52, HeaderSize);
    put16(54, SegmentHeaderSize);
    put16(56, 2);
    const struct
    {
        quint32 type;
        quint64 offset;
        quint64 size;
    } segments[] = {{1, 0, quint64(file.size())}, {2, quint64(dynamicAt), quint64(dynamicSize)}};
    for (int i = 0; i < 2; ++i) {
        const qsizetype at = HeaderSize + i * SegmentHeaderSize;
        put32(at, segments[i].type);
        put32(at + 4, 4); // readable
        put64(at + 8, segments[i].offset);
        put64(at + 16, segments[i].offset); // its address is its offset
        put64(at + 32, segments[i].size);
        put64(at + 40, segments[i].size);
    }
    std::memcpy(bytes + StringsAt, strings.constData(), strings.size());
    for (qsizetype i = 0; i < dynamic.size(); ++i) {
        put64(dynamicAt + i * 16, quint64(dynamic.at(i).first));
        put64(dynamicAt + i * 16 + 8, dynamic.at(i).second);
    }
    return file;
}
