#include "PeImports.h"

#include "LittleEndian.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr std::uint16_t Pe32 = 0x10b;
constexpr std::uint16_t Pe32Plus = 0x20b;
constexpr std::uint32_t ImportDirectory = 1;
constexpr std::uint32_t ResourceDirectory = 2;
constexpr std::uint32_t ManifestType = 24;
constexpr std::uint32_t ProcessManifest = 1;
constexpr std::uint32_t SubdirectoryFlag = 0x80000000u;
constexpr std::uint64_t ImportDescriptorSize = 20;
// Far above what any real file holds: a file claiming more is not read further. The loader
// itself refuses more than 96 sections.
constexpr std::uint64_t MaxHeaderOffset = 64 * 1024;
constexpr std::uint16_t MaxSections = 96;
constexpr std::uint16_t MaxOptionalHeader = 1024;
constexpr std::uint64_t MaxImports = 4096;
constexpr std::uint64_t MaxNameBytes = 256;
constexpr std::uint64_t MaxResourceEntries = 4096;
constexpr std::uint64_t MaxManifestBytes = 64 * 1024;

using LittleEndian::at;

struct Section
{
    std::uint32_t address;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

// Where the data at a relative virtual address lies in the file, and how many bytes of its
// section follow it there.
struct Place
{
    std::uint64_t offset;
    std::uint64_t available;
};

std::optional<Place> place(const QList<Section> &sections, std::uint64_t address)
{
    for (const Section &s : sections) {
        if (address >= s.address && address - s.address < s.rawSize)
            return Place{std::uint64_t(s.rawOffset) + (address - s.address), s.rawSize - (address - s.address)};
    }
    return std::nullopt;
}

PeImports refuse(PeImports result, const char *problem)
{
    result.valid = false;
    result.problem = QLatin1String(problem);
    result.imports.clear();
    result.manifest.clear();
    return result;
}

// The file's sections and the import and resource directories, read from its headers.
struct Headers
{
    QList<Section> sections;
    std::uint32_t imports = 0; // relative virtual addresses; 0 when there is none
    std::uint32_t resources = 0;
};

class Parser
{
public:
    Parser(const PeImports::Reader &read, Headers headers) : read_(read), headers_(std::move(headers)) {}

    // A NUL-ended name of at most MaxNameBytes at address.
    std::optional<QString> name(std::uint64_t address) const
    {
        // Each name read once, however many descriptors point at it.
        if (const auto known = names_.constFind(address); known != names_.cend())
            return *known;
        const auto where = place(headers_.sections, address);
        if (!where)
            return std::nullopt;
        const QByteArray piece = read_(where->offset, std::min(where->available, MaxNameBytes));
        const qsizetype end = piece.indexOf('\0');
        return *names_.insert(address, end <= 0 ? std::nullopt
                                                : std::optional<QString>(QString::fromLatin1(piece.constData(), end)));
    }

    // The DLL names of the import table, which ends with an empty descriptor.
    std::optional<QStringList> imports() const
    {
        QStringList names;
        if (headers_.imports == 0)
            return names;
        const auto where = place(headers_.sections, headers_.imports);
        if (!where)
            return std::nullopt;
        const QByteArray table =
            read_(where->offset, std::min(where->available, (MaxImports + 1) * ImportDescriptorSize));
        for (std::uint64_t entry = 0;; entry += ImportDescriptorSize) {
            const auto nameAddress = at<std::uint32_t>(table, entry + 12);
            const auto firstThunk = at<std::uint32_t>(table, entry + 16);
            if (!nameAddress || !firstThunk)
                return std::nullopt; // no end within the table's section or the limit
            if (*nameAddress == 0 && *firstThunk == 0)
                return names;
            const auto dll = name(*nameAddress);
            if (!dll)
                return std::nullopt;
            names.append(*dll);
        }
    }

    // The entry of a resource directory (at offset from the resource tree's start) with the
    // number id, or its first entry of any kind; its OffsetToData field, nullopt when there is none
    // or the directory cannot be read.
    std::optional<std::uint32_t> entry(std::uint64_t directory, std::uint32_t id, bool firstOfAny) const
    {
        const QByteArray header = read_(resourceBase_ + directory, 16);
        const auto named = at<std::uint16_t>(header, 12);
        const auto numbered = at<std::uint16_t>(header, 14);
        if (!named || !numbered || std::uint64_t(*named) + *numbered > MaxResourceEntries)
            return std::nullopt;
        const std::uint64_t count = std::uint64_t(*named) + *numbered;
        const QByteArray entries = read_(resourceBase_ + directory + 16, count * 8);
        for (std::uint64_t i = 0; i < count; ++i) {
            const auto key = at<std::uint32_t>(entries, i * 8);
            const auto data = at<std::uint32_t>(entries, i * 8 + 4);
            if (!key || !data)
                return std::nullopt;
            if (firstOfAny || (i >= *named && *key == id))
                return *data;
        }
        return std::nullopt;
    }

    // The process manifest: type 24, number 1, any language. The tree has three levels and is
    // read along that one path, so neither its depth nor a loop in it can take the reader further.
    // nullopt when the resource tree cannot be read; empty when it holds no manifest.
    std::optional<QByteArray> manifest()
    {
        if (headers_.resources == 0)
            return QByteArray();
        const auto root = place(headers_.sections, headers_.resources);
        if (!root)
            return std::nullopt;
        resourceBase_ = root->offset;
        const QByteArray header = read_(resourceBase_, 16);
        if (header.size() < 16)
            return std::nullopt;
        std::uint64_t directory = 0;
        const std::uint32_t path[] = {ManifestType, ProcessManifest};
        for (const std::uint32_t id : path) {
            const auto data = entry(directory, id, false);
            if (!data)
                return QByteArray();
            if (!(*data & SubdirectoryFlag))
                return std::nullopt; // a leaf where the tree must go deeper
            directory = *data & ~SubdirectoryFlag;
        }
        const auto leaf = entry(directory, 0, true);
        if (!leaf || (*leaf & SubdirectoryFlag))
            return std::nullopt;
        const QByteArray description = read_(resourceBase_ + *leaf, 8);
        const auto address = at<std::uint32_t>(description, 0);
        const auto size = at<std::uint32_t>(description, 4);
        if (!address || !size || *size > MaxManifestBytes)
            return std::nullopt;
        const auto where = place(headers_.sections, *address);
        if (!where || where->available < *size)
            return std::nullopt;
        const QByteArray text = read_(where->offset, *size);
        if (text.size() != qsizetype(*size))
            return std::nullopt;
        return text;
    }

private:
    const PeImports::Reader &read_;
    Headers headers_;
    std::uint64_t resourceBase_ = 0;
    mutable QHash<std::uint64_t, std::optional<QString>> names_;
};

} // namespace

QString PeImports::MachineName(std::uint16_t machine)
{
    switch (machine) {
    case 0x14c:
        return QStringLiteral("x86");
    case 0x8664:
        return QStringLiteral("x86-64");
    case 0x1c4:
        return QStringLiteral("ARM");
    case 0xaa64:
        return QStringLiteral("ARM64");
    default:
        return QStringLiteral("machine 0x%1").arg(machine, 4, 16, QLatin1Char('0'));
    }
}

PeImports PeImports::Read(const QByteArray &bytes)
{
    return Read(
        [&bytes](std::uint64_t offset, std::uint64_t length) { return LittleEndian::piece(bytes, offset, length); });
}

PeImports PeImports::Read(const Reader &read)
{
    PeImports result;
    const QByteArray dos = read(0, 64);
    const auto headerAt = at<std::uint32_t>(dos, 0x3c);
    if (!dos.startsWith("MZ") || !headerAt || *headerAt > MaxHeaderOffset)
        return refuse(result, "not a PE file");
    const QByteArray coff = read(*headerAt, 24);
    if (!coff.startsWith(QByteArrayLiteral("PE\0\0")))
        return refuse(result, "not a PE file");
    result.pe = true;
    const auto machine = at<std::uint16_t>(coff, 4);
    const auto sectionCount = at<std::uint16_t>(coff, 6);
    const auto optionalSize = at<std::uint16_t>(coff, 20);
    if (!machine || !sectionCount || !optionalSize)
        return refuse(result, "cut short");
    result.machine = *machine;
    if (*sectionCount > MaxSections || *optionalSize > MaxOptionalHeader)
        return refuse(result, "its headers cannot be read");

    const QByteArray optional = read(std::uint64_t(*headerAt) + 24, *optionalSize);
    const auto magic = at<std::uint16_t>(optional, 0);
    if (!magic || (*magic != Pe32 && *magic != Pe32Plus))
        return refuse(result, "its headers cannot be read");
    const std::uint64_t directories = *magic == Pe32Plus ? 112 : 96;
    const auto directoryCount = at<std::uint32_t>(optional, directories - 4);
    if (!directoryCount)
        return refuse(result, "its headers cannot be read");
    Headers headers;
    const auto directory = [&](std::uint32_t index) -> std::uint32_t {
        if (index >= *directoryCount)
            return 0;
        return at<std::uint32_t>(optional, directories + 8 * index).value_or(0);
    };
    headers.imports = directory(ImportDirectory);
    headers.resources = directory(ResourceDirectory);

    const QByteArray table = read(std::uint64_t(*headerAt) + 24 + *optionalSize, std::uint64_t(*sectionCount) * 40);
    for (std::uint16_t i = 0; i < *sectionCount; ++i) {
        const auto address = at<std::uint32_t>(table, i * 40 + 12);
        const auto rawSize = at<std::uint32_t>(table, i * 40 + 16);
        const auto rawOffset = at<std::uint32_t>(table, i * 40 + 20);
        if (!address || !rawSize || !rawOffset)
            return refuse(result, "its section table cannot be read");
        headers.sections.append({*address, *rawSize, *rawOffset});
    }

    Parser parser(read, std::move(headers));
    const auto imports = parser.imports();
    if (!imports)
        return refuse(result, "its import table cannot be read");
    result.imports = *imports;
    const auto manifest = parser.manifest();
    if (!manifest)
        return refuse(result, "its resources cannot be read");
    result.manifest = *manifest;
    result.valid = true;
    return result;
}
