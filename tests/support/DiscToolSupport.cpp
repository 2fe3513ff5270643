#include "DiscToolSupport.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

ToolOutcome WithoutStandIns(ToolOutcome outcome)
{
    outcome.lines.removeIf([](const QString &line) {
        return line.startsWith(u"warning: ") &&
               (line.contains(u": is still the sample disc's ") || line.contains(u": no installer for Linux ("));
    });
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
    QHash<QString, quint64> offsets; // a name given again is the same string, as a linker writes it
    const auto named = [&](qint64 tag, const QString &text) {
        if (!offsets.contains(text)) {
            offsets.insert(text, quint64(strings.size()));
            strings += text.toUtf8() + '\0';
        }
        dynamic.append({tag, offsets.value(text)});
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

QByteArray PeFile(const QStringList &imports, const QByteArray &manifest, std::uint16_t machine)
{
    // Headers in the first 0x200 bytes; the one section at 0x200 in the file and 0x1000 in memory:
    // import descriptors, DLL names, then the three levels of the resource tree and the manifest.
    constexpr quint32 SectionAt = 0x200, Address = 0x1000;
    QByteArray section;
    QDataStream data(&section, QIODevice::WriteOnly);
    data.setByteOrder(QDataStream::LittleEndian);
    const quint32 namesAt = quint32(imports.size() + 1) * 20;
    QByteArray names;
    QHash<QString, quint32> offsets; // a name given again is the same string
    for (const QString &name : imports) {
        if (!offsets.contains(name)) {
            offsets.insert(name, quint32(names.size()));
            names += name.toLatin1() + '\0';
        }
        // The name's address, and a first thunk that is not zero.
        data << quint32(0) << quint32(0) << quint32(0) << quint32(Address + namesAt + offsets.value(name))
             << quint32(1);
    }
    data << quint32(0) << quint32(0) << quint32(0) << quint32(0) << quint32(0);
    data.writeRawData(names.constData(), names.size());
    const quint32 resourcesAt = quint32(section.size() + 7) / 8 * 8;
    if (!manifest.isEmpty()) {
        data.writeRawData(QByteArray(resourcesAt - section.size(), '\0').constData(), resourcesAt - section.size());
        // Three directories of one numbered entry each (type 24, number 1, language 1033), then
        // the data entry; offsets from the tree's start, a set top bit for a directory.
        const quint32 entries[][2] = {{24, 0x80000018}, {1, 0x80000030}, {1033, 0x48}};
        for (const auto &entry : entries)
            data << quint32(0) << quint32(0) << quint16(0) << quint16(0) << quint16(0) << quint16(1) << entry[0]
                 << entry[1];
        data << quint32(Address + resourcesAt + 0x58) << quint32(manifest.size()) << quint32(0) << quint32(0);
        data.writeRawData(manifest.constData(), manifest.size());
    }

    QByteArray file(SectionAt, '\0');
    QDataStream out(&file, QIODevice::ReadWrite);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("MZ", 2);
    out.device()->seek(0x3c);
    out << quint32(0x40);
    out.writeRawData("PE\0\0", 4);
    // The file header: machine, one section, no symbols, the optional header's size, characteristics.
    out << machine << quint16(1) << quint32(0) << quint32(0) << quint32(0) << quint16(240) << quint16(0x22);
    out << quint16(0x20b); // PE32+
    out.device()->seek(0x58 + 108);
    out << quint32(16) << quint32(0) << quint32(0) << quint32(Address) << quint32(namesAt)
        << quint32(manifest.isEmpty() ? 0 : Address + resourcesAt) << quint32(manifest.isEmpty() ? 0 : 0x58);
    out.device()->seek(0x58 + 240);
    out.writeRawData(".rdata\0\0", 8);
    out << quint32(section.size()) << Address << quint32(section.size()) << SectionAt;
    return file + section;
}

QByteArray Manifest(const QString &name, const QStringList &files, const QStringList &dependencies)
{
    QByteArray xml = "<?xml version=\"1.0\"?>\n<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" "
                     "manifestVersion=\"1.0\">\n<assemblyIdentity type=\"win32\" name=\"" +
                     name.toUtf8() + "\" version=\"1.0.0.0\"/>\n";
    for (const QString &file : files)
        xml += "<file name=\"" + file.toUtf8() + "\"/>\n";
    // Windows' own assemblies, such as its common controls, carry a public key; private ones do not.
    for (const QString &dependency : dependencies)
        xml += "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" name=\"" + dependency.toUtf8() +
               "\" version=\"1.0.0.0\"" +
               (dependency.startsWith(QLatin1String("Microsoft.")) ? " publicKeyToken=\"6595b64144ccf1df\"" : "") +
               "/></dependentAssembly></dependency>\n";
    return xml + "</assembly>\n";
}

QByteArray ProgramManifest()
{
    return Manifest(QStringLiteral("Brindlemoor.Menu"), {},
                    {QStringLiteral("Microsoft.Windows.Common-Controls"), QStringLiteral("Runtime")});
}

bool WriteRuntimeLicences(const QString &runtime)
{
    for (const char *file : {"licences/README.txt", "licences/LGPL-3.txt", "licences/GPL-3.txt", "licences/OFL-1.1.txt",
                             "licences/fonts-liberation2.copyright.txt", "source/qt6-base_6.4.2+dfsg-10.dsc",
                             "source/qt6-base_6.4.2+dfsg.orig.tar.xz", "source/qt6-base_6.4.2+dfsg-10.debian.tar.xz",
                             "source/qt6-wayland_6.4.2-1.dsc", "source/qt6-wayland_6.4.2.orig.tar.xz",
                             "source/qt6-wayland_6.4.2-1.debian.tar.xz", "source/disc-qt.patch",
                             "source/brindlemoor-1.0.0-source.tar.xz"}) {
        if (!WriteFile(runtime + QLatin1Char('/') + QLatin1String(file), "a text"))
            return false;
    }
    return true;
}

QString WriteWindowsProgram(const QString &folder)
{
    const QString core = QStringLiteral("Qt6Core.dll");
    const QString gui = QStringLiteral("Qt6Gui.dll");
    const std::pair<const char *, QByteArray> files[] = {
        {"brindlemoor.exe",
         PeFile({gui, core, QStringLiteral("KERNEL32.dll"), QStringLiteral("api-ms-win-core-synch-l1-2-0.dll")},
                ProgramManifest())},
        {"Runtime/Runtime.manifest", Manifest(QStringLiteral("Runtime"), {core, gui}, {})},
        {"Runtime/Qt6Core.dll", PeFile({QStringLiteral("kernel32.dll"), QStringLiteral("msvcrt.dll")})},
        {"Runtime/Qt6Gui.dll", PeFile({core, QStringLiteral("GDI32.dll")})},
        {"Runtime/plugins/platforms/qwindows.dll", PeFile({core, QStringLiteral("helper.dll")})},
        {"Runtime/plugins/platforms/helper.dll", PeFile({QStringLiteral("USER32.dll")})},
        {"Runtime/fonts/LiberationSans-Regular.ttf", "a font"}};
    for (const auto &[path, bytes] : files) {
        if (!WriteFile(folder + QLatin1Char('/') + QLatin1String(path), bytes))
            return {};
    }
    if (!WriteRuntimeLicences(folder + QStringLiteral("/Runtime")))
        return {};
    return folder + QStringLiteral("/brindlemoor.exe");
}
