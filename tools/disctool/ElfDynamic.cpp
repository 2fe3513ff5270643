#include "ElfDynamic.h"

#include "LittleEndian.h"

#include <QHash>
#include <QList>

#include <optional>

namespace {

constexpr std::uint32_t PT_LOAD = 1;
constexpr std::uint32_t PT_DYNAMIC = 2;
constexpr std::int64_t DT_NULL = 0;
constexpr std::int64_t DT_NEEDED = 1;
constexpr std::int64_t DT_STRTAB = 5;
constexpr std::int64_t DT_STRSZ = 10;
constexpr std::int64_t DT_RPATH = 15;
constexpr std::int64_t DT_RUNPATH = 29;
// Far above what any real file holds: a file claiming more is not read further.
constexpr std::uint64_t MaxHeaders = 1024;
constexpr std::uint64_t MaxDynamicBytes = 64 * 1024;
constexpr std::uint64_t MaxStringBytes = 4096;
constexpr std::uint64_t ShortStringBytes = 256;

using LittleEndian::at;

struct Segment
{
    std::uint32_t type;
    std::uint64_t offset;
    std::uint64_t address;
    std::uint64_t fileSize;
};

// The file offset of a virtual address, through the loadable segments.
std::optional<std::uint64_t> fileOffset(const QList<Segment> &segments, std::uint64_t address)
{
    for (const Segment &s : segments) {
        if (s.type == PT_LOAD && address >= s.address && address - s.address < s.fileSize)
            return s.offset + (address - s.address);
    }
    return std::nullopt;
}

ElfDynamic refuse(ElfDynamic result, const char *problem)
{
    result.valid = false;
    result.problem = QLatin1String(problem);
    result.needed.clear();
    result.rpath.clear();
    result.runpath.clear();
    return result;
}

} // namespace

QString ElfDynamic::MachineName(std::uint16_t machine)
{
    switch (machine) {
    case 3:
        return QStringLiteral("x86");
    case 40:
        return QStringLiteral("ARM");
    case 62:
        return QStringLiteral("x86-64");
    case 183:
        return QStringLiteral("AArch64");
    case 243:
        return QStringLiteral("RISC-V");
    default:
        return QStringLiteral("machine %1").arg(machine);
    }
}

ElfDynamic ElfDynamic::Read(const QByteArray &bytes)
{
    return Read(
        [&bytes](std::uint64_t offset, std::uint64_t length) { return LittleEndian::piece(bytes, offset, length); });
}

ElfDynamic ElfDynamic::Read(const Reader &read)
{
    ElfDynamic result;
    const QByteArray header = read(0, 64);
    if (!header.startsWith("\x7f"
                           "ELF"))
        return refuse(result, "not an ELF file");
    result.elf = true;
    if (header.size() < 20)
        return refuse(result, "cut short");
    result.bits = header.at(4) == 1 ? 32 : header.at(4) == 2 ? 64 : 0;
    if (header.at(5) != 1)
        return refuse(result, "not little-endian");
    result.machine = *at<std::uint16_t>(header, 18);
    if (result.bits != 64)
        return refuse(result, "not a 64-bit file");
    const auto phoff = at<std::uint64_t>(header, 0x20);
    const auto phentsize = at<std::uint16_t>(header, 0x36);
    const auto phnum = at<std::uint16_t>(header, 0x38);
    if (!phoff || !phentsize || !phnum || *phentsize < 56 || *phnum > MaxHeaders)
        return refuse(result, "its program headers cannot be read");

    const QByteArray headers = read(*phoff, std::uint64_t(*phnum) * *phentsize);
    QList<Segment> segments;
    for (std::uint16_t i = 0; i < *phnum; ++i) {
        const std::uint64_t base = std::uint64_t(i) * *phentsize;
        const auto type = at<std::uint32_t>(headers, base);
        const auto offset = at<std::uint64_t>(headers, base + 8);
        const auto address = at<std::uint64_t>(headers, base + 16);
        const auto fileSize = at<std::uint64_t>(headers, base + 32);
        if (!type || !offset || !address || !fileSize)
            return refuse(result, "its program headers cannot be read");
        segments.append({*type, *offset, *address, *fileSize});
    }

    const Segment *dynamic = nullptr;
    for (const Segment &s : segments) {
        if (s.type == PT_DYNAMIC)
            dynamic = &s;
    }
    if (!dynamic) {
        result.valid = true; // a static program needs nothing
        return result;
    }
    if (dynamic->fileSize > MaxDynamicBytes)
        return refuse(result, "its dynamic section cannot be read");

    const QByteArray entries = read(dynamic->offset, dynamic->fileSize);
    QList<std::uint64_t> neededOffsets;
    std::optional<std::uint64_t> strtab;
    std::uint64_t strsz = 0;
    std::optional<std::uint64_t> runpath;
    std::optional<std::uint64_t> rpath;
    for (std::uint64_t entry = 0; entry + 16 <= dynamic->fileSize; entry += 16) {
        const auto tag = at<std::int64_t>(entries, entry);
        const auto value = at<std::uint64_t>(entries, entry + 8);
        if (!tag || !value)
            return refuse(result, "its dynamic section cannot be read");
        if (*tag == DT_NULL)
            break;
        if (*tag == DT_NEEDED)
            neededOffsets.append(*value);
        else if (*tag == DT_STRTAB)
            strtab = fileOffset(segments, *value);
        else if (*tag == DT_STRSZ)
            strsz = *value;
        else if (*tag == DT_RUNPATH)
            runpath = *value;
        else if (*tag == DT_RPATH)
            rpath = *value;
    }
    if (!strtab || *strtab > UINT64_MAX - strsz)
        return refuse(result, "its string table cannot be read");

    // Each string read once, however many entries name it.
    QHash<std::uint64_t, std::optional<QString>> strings;
    const auto string = [&](std::uint64_t offset) -> std::optional<QString> {
        if (offset >= strsz)
            return std::nullopt;
        if (const auto known = strings.constFind(offset); known != strings.cend())
            return *known;
        // Most names are short: the longest a string may be is read only for a long one.
        QByteArray piece = read(*strtab + offset, std::min(strsz - offset, ShortStringBytes));
        if (!piece.contains('\0'))
            piece = read(*strtab + offset, std::min(strsz - offset, MaxStringBytes));
        const qsizetype end = piece.indexOf('\0');
        return *strings.insert(offset, end < 0 ? std::nullopt
                                               : std::optional<QString>(QString::fromUtf8(piece.constData(), end)));
    };
    for (std::uint64_t offset : neededOffsets) {
        const auto name = string(offset);
        if (!name)
            return refuse(result, "the name of a library it needs cannot be read");
        result.needed.append(*name);
    }
    for (const auto &[tag, list] : {std::pair{rpath, &result.rpath}, std::pair{runpath, &result.runpath}}) {
        if (!tag)
            continue;
        const auto text = string(*tag);
        if (!text)
            return refuse(result, "its library search path cannot be read");
        *list = text->split(QLatin1Char(':'), Qt::SkipEmptyParts);
    }
    result.valid = true;
    return result;
}
