#include "DiscToolSupport.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

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
    // The header, two segment headers (one loadable over the whole file, one for the dynamic
    // section), the strings, then the dynamic section.
    constexpr quint64 StringsAt = 64 + 2 * 56;
    QByteArray strings(1, '\0');
    QList<std::pair<qint64, quint64>> dynamic;
    const auto named = [&](qint64 tag, const QString &text) {
        dynamic.append({tag, quint64(strings.size())});
        strings += text.toUtf8() + '\0';
    };
    for (const QString &name : needed)
        named(1, name); // DT_NEEDED
    if (!rpath.isEmpty())
        named(15, rpath); // DT_RPATH
    if (!runpath.isEmpty())
        named(29, runpath); // DT_RUNPATH
    // DT_STRTAB (an address equal to its offset), DT_STRSZ, DT_NULL
    dynamic += {{5, StringsAt}, {10, quint64(strings.size())}, {0, 0}};
    const quint64 dynamicAt = (StringsAt + strings.size() + 7) / 8 * 8;
    const quint64 dynamicSize = dynamic.size() * 16;
    const quint64 end = std::max<quint64>(size, dynamicAt + dynamicSize);

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("\x7f"
                     "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0",
                     16); // 64-bit, little-endian, version 1
    out << quint16(3) << machine << quint32(1) << quint64(0) << quint64(64) << quint64(0) << quint32(0) << quint16(64)
        << quint16(56) << quint16(2) << quint16(0) << quint16(0) << quint16(0);
    // Type, flags, offset, address, physical address, size in the file and in memory, alignment.
    out << quint32(1) << quint32(4) << quint64(0) << quint64(0) << quint64(0) << end << end << quint64(8);
    out << quint32(2) << quint32(4) << dynamicAt << dynamicAt << dynamicAt << dynamicSize << dynamicSize << quint64(8);
    const QByteArray padded = strings + QByteArray(qsizetype(dynamicAt - StringsAt) - strings.size(), '\0');
    out.writeRawData(padded.constData(), padded.size());
    for (const auto &[tag, value] : dynamic)
        out << tag << value;
    return file + QByteArray(qsizetype(end) - file.size(), '\0');
}
