#include "ElfDynamic.h"

#include <QList>

#include <cstdint>
#include <cstring>
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

// Bounds-checked little-endian reads: a file cut short or lying about its offsets yields nothing.
template <typename T> std::optional<T> at(const QByteArray &bytes, std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(bytes.size()) || bytes.size() - offset < sizeof(T))
        return std::nullopt;
    T value;
    std::memcpy(&value, bytes.constData() + offset, sizeof(T));
    return value;
}

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

} // namespace

ElfDynamic ElfDynamic::Read(const QByteArray &bytes)
{
    ElfDynamic result;
    // ELF magic, 64-bit class, little-endian data.
    if (!bytes.startsWith("\x7f"
                          "ELF") ||
        bytes.size() < 64 || bytes.at(4) != 2 || bytes.at(5) != 1)
        return {};
    const auto phoff = at<std::uint64_t>(bytes, 0x20);
    const auto phentsize = at<std::uint16_t>(bytes, 0x36);
    const auto phnum = at<std::uint16_t>(bytes, 0x38);
    if (!phoff || !phentsize || !phnum || *phentsize < 56)
        return {};

    QList<Segment> segments;
    for (std::uint16_t i = 0; i < *phnum; ++i) {
        const std::uint64_t base = *phoff + std::uint64_t(i) * *phentsize;
        const auto type = at<std::uint32_t>(bytes, base);
        const auto offset = at<std::uint64_t>(bytes, base + 8);
        const auto address = at<std::uint64_t>(bytes, base + 16);
        const auto fileSize = at<std::uint64_t>(bytes, base + 32);
        if (!type || !offset || !address || !fileSize)
            return {};
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

    QList<std::uint64_t> neededOffsets;
    std::optional<std::uint64_t> strtab;
    std::uint64_t strsz = 0;
    std::optional<std::uint64_t> runpath;
    std::optional<std::uint64_t> rpath;
    for (std::uint64_t entry = dynamic->offset; entry + 16 <= dynamic->offset + dynamic->fileSize; entry += 16) {
        const auto tag = at<std::int64_t>(bytes, entry);
        const auto value = at<std::uint64_t>(bytes, entry + 8);
        if (!tag || !value)
            return {};
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
    if (!strtab || *strtab > static_cast<std::uint64_t>(bytes.size()) || bytes.size() - *strtab < strsz)
        return {};

    const auto string = [&](std::uint64_t offset) -> std::optional<QString> {
        if (offset >= strsz)
            return std::nullopt;
        const char *start = bytes.constData() + *strtab + offset;
        const void *end = std::memchr(start, 0, strsz - offset);
        if (!end)
            return std::nullopt;
        return QString::fromUtf8(start, static_cast<const char *>(end) - start);
    };
    for (std::uint64_t offset : neededOffsets) {
        const auto name = string(offset);
        if (!name)
            return {};
        result.needed.append(*name);
    }
    if (const auto path = runpath ? runpath : rpath) {
        const auto text = string(*path);
        if (!text)
            return {};
        result.runpath = text->split(QLatin1Char(':'), Qt::SkipEmptyParts);
    }
    result.valid = true;
    return result;
}
