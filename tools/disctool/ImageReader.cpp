#include "ImageReader.h"

#include "EDiscError.h"
#include "IsoLibrary.h"

#include <QDataStream>
#include <QFile>
#include <QHash>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define BRINDLE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRINDLE_ADDRESS_SANITIZER 1
#endif
#endif

namespace {

const QString Root = QStringLiteral("./");
constexpr qint64 BlockSize = 2048;
// What the reading process may use: far more than any disc's folders need.
constexpr rlim_t MemoryLimit = rlim_t(2) << 30;
// The description of a tree is a few hundred bytes an entry.
constexpr qsizetype MaxDescription = qsizetype(256) << 20;

void check(int result, const QString &what)
{
    if (result < 0)
        throw EDiscError(QStringLiteral("%1: %2").arg(what, IsoLibrary::Describe(result)));
}

struct Imported
{
    IsoLibrary::Owned<IsoImage> image;
    bool rockRidge = false;
    bool joliet = false;
};

// One of the image's trees: Rock Ridge names and modes, or (jolietNames) the names Joliet holds.
Imported import(const QString &path, bool jolietNames)
{
    const QString problem = QStringLiteral("cannot read the image %1").arg(path);
    IsoDataSource *source = nullptr;
    check(iso_data_source_new_from_file(QFile::encodeName(path).constData(), &source), problem);
    const IsoLibrary::Owned<IsoDataSource> ownedSource(source);
    IsoReadOpts *options = nullptr;
    check(iso_read_opts_new(&options, 0), problem);
    const IsoLibrary::Owned<IsoReadOpts> ownedOptions(options);
    iso_read_opts_set_input_charset(options, "UTF-8");
    if (jolietNames) {
        iso_read_opts_set_no_rockridge(options, 1);
        iso_read_opts_set_preferjoliet(options, 1);
    }
    IsoImage *image = nullptr;
    check(iso_image_new("", &image), problem);
    Imported imported{IsoLibrary::Owned<IsoImage>(image)};
    IsoReadImageFeatures *features = nullptr;
    check(iso_image_import(image, source, options, &features), problem);
    const IsoLibrary::Owned<IsoReadImageFeatures> ownedFeatures(features);
    imported.rockRidge = iso_read_image_features_has_rockridge(features);
    imported.joliet = iso_read_image_features_has_joliet(features);
    return imported;
}

IsoLibrary::Owned<IsoDirIter> children(IsoDir *folder)
{
    IsoDirIter *iterator = nullptr;
    check(iso_dir_get_children(folder, &iterator), QStringLiteral("cannot list a folder of the image"));
    return IsoLibrary::Owned<IsoDirIter>(iterator);
}

QString nameOf(IsoNode *node)
{
    return QString::fromUtf8(iso_node_get_name(node));
}

// Where a file's data lies in the image; the block of its first piece, 0 when it has none.
std::vector<std::pair<quint32, quint32>> sectionsOf(IsoNode *node)
{
    std::vector<std::pair<quint32, quint32>> sections;
    int count = 0;
    iso_file_section *found = nullptr;
    if (ISO_NODE_IS_FILE(node) &&
        iso_file_get_old_image_sections(reinterpret_cast<IsoFile *>(node), &count, &found, 0) == 1) {
        for (int i = 0; i < count; ++i)
            sections.emplace_back(found[i].block, found[i].size);
    }
    std::free(found);
    return sections;
}

void writeFinding(QDataStream &out, bool error, const QString &path, const QString &what)
{
    out << error << path << what;
}

// Where a name read from the folder at folderPath cannot stand on a desktop: the finding's path and
// what it says; an empty path where the name is fine.
std::pair<QString, QString> unusableName(const QByteArray &bytes, const QString &folderPath)
{
    const QString invalid = DiscTree::ShowInvalidName(bytes);
    if (!invalid.isEmpty())
        return {folderPath + invalid, QStringLiteral("the name is not UTF-8: desktops show it garbled, and names "
                                                     "that differ only there show alike")};
    const QString name = QString::fromUtf8(bytes);
    // Named by its folder, since it has no name of its own to show.
    if (name.isEmpty())
        return {folderPath.isEmpty() ? Root : folderPath,
                QStringLiteral("holds an entry without a name: desktops do not show it")};
    if (name == QStringLiteral(".") || name == QStringLiteral("..") || name.contains(QLatin1Char('/')))
        return {folderPath + name, QStringLiteral("a name that cannot be a file name: desktops do not show it")};
    return {};
}

// Compares the names of one folder in both trees; a file keeps its place on the disc under either
// name, so a changed name is found by its data. Writes each name Joliet does not hold as it stands,
// with the name Joliet holds instead (empty when it cannot be told).
void compareNames(IsoDir *rockRidge, IsoDir *joliet, const QString &path, int depth, QDataStream &renamed,
                  int &renamedCount, QDataStream &findings, int &findingCount)
{
    QHash<QString, IsoNode *> jolietByName;
    QHash<quint32, QString> jolietByBlock;
    const auto jolietChildren = children(joliet);
    IsoNode *node = nullptr;
    while (iso_dir_iter_next(jolietChildren.get(), &node) == 1) {
        jolietByName.insert(nameOf(node), node);
        const auto sections = sectionsOf(node);
        if (!sections.empty() && sections.front().second > 0)
            jolietByBlock.insert(sections.front().first, nameOf(node));
    }

    const auto rockRidgeChildren = children(rockRidge);
    while (iso_dir_iter_next(rockRidgeChildren.get(), &node) == 1) {
        if (!unusableName(iso_node_get_name(node), path).first.isEmpty())
            continue; // reported with the tree
        const QString name = nameOf(node);
        const QString relative = path + name;
        IsoNode *twin = jolietByName.value(name);
        if (twin) {
            if (ISO_NODE_IS_DIR(node) && ISO_NODE_IS_DIR(twin) && depth < DiscTree::MaxDepth)
                compareNames(reinterpret_cast<IsoDir *>(node), reinterpret_cast<IsoDir *>(twin),
                             relative + QLatin1Char('/'), depth + 1, renamed, renamedCount, findings, findingCount);
            continue;
        }
        if (ISO_NODE_IS_SYMLINK(node)) {
            writeFinding(findings, false, relative,
                         QStringLiteral("a link, which Joliet cannot hold: desktops that read only Joliet names do "
                                        "not show it"));
            ++findingCount;
            continue;
        }
        const auto sections = sectionsOf(node);
        renamed << relative
                << (sections.empty() || sections.front().second == 0 ? QString()
                                                                     : jolietByBlock.value(sections.front().first));
        ++renamedCount;
    }
}

// The Rock Ridge tree, entry by entry, each after its folder: parent number, kind, mode, size,
// name, link target and the pieces of its data.
int describeTree(IsoDir *root, QDataStream &out, QDataStream &findings, int &findingCount)
{
    struct Pending
    {
        IsoDir *folder;
        qint32 number;
        QString path;
        int depth;
    };
    std::vector<Pending> pending{{root, -1, QString(), 0}};
    qint32 count = 0;
    while (!pending.empty()) {
        const Pending at = pending.back();
        pending.pop_back();
        const auto iterator = children(at.folder);
        IsoNode *node = nullptr;
        while (iso_dir_iter_next(iterator.get(), &node) == 1) {
            const QByteArray bytes(iso_node_get_name(node));
            if (const auto [where, what] = unusableName(bytes, at.path); !where.isEmpty()) {
                writeFinding(findings, true, where, what);
                ++findingCount;
                continue;
            }
            const QString name = QString::fromUtf8(bytes);
            if (++count > DiscTree::MaxEntries)
                throw EDiscError(
                    QStringLiteral("the image holds more than %1 files and folders").arg(DiscTree::MaxEntries));
            DiscTree::Kind kind = DiscTree::Kind::Other;
            QString target;
            switch (iso_node_get_type(node)) {
            case LIBISO_DIR:
                kind = DiscTree::Kind::Folder;
                if (at.depth + 1 > DiscTree::MaxDepth)
                    throw EDiscError(QStringLiteral("%1: folders nested more than %2 deep: no disc needs them")
                                         .arg(at.path + name)
                                         .arg(DiscTree::MaxDepth));
                pending.push_back(
                    {reinterpret_cast<IsoDir *>(node), count - 1, at.path + name + QLatin1Char('/'), at.depth + 1});
                break;
            case LIBISO_FILE:
                kind = DiscTree::Kind::File;
                break;
            case LIBISO_SYMLINK:
                kind = DiscTree::Kind::Link;
                target = QString::fromUtf8(iso_symlink_get_dest(reinterpret_cast<IsoSymlink *>(node)));
                break;
            default:
                break; // devices and pipes mean nothing on a disc
            }
            const auto sections = sectionsOf(node);
            qint64 size = 0;
            for (const auto &section : sections)
                size += section.second;
            out << at.number << quint8(kind) << quint32(iso_node_get_permissions(node) & 07777) << size << name
                << target << qint32(sections.size());
            for (const auto &section : sections)
                out << section.first << section.second;
        }
    }
    return count;
}

// What the reading process sends back: "ok", the label, the findings and the tree; or the reason
// it could not read the image.
QByteArray describeImage(const QString &path)
{
    IsoLibrary::Start();
    const Imported rockRidge = import(path, false);
    QByteArray entries;
    QDataStream entryStream(&entries, QIODevice::WriteOnly);
    QByteArray findings;
    QDataStream findingStream(&findings, QIODevice::WriteOnly);
    int findingCount = 0;
    const int entryCount =
        describeTree(iso_image_get_root(rockRidge.image.get()), entryStream, findingStream, findingCount);

    if (!rockRidge.rockRidge) {
        writeFinding(findingStream, false, Root,
                     QStringLiteral("no Rock Ridge extensions: files carry no modes (the program cannot be executable) "
                                    "and names show in their short ISO 9660 form"));
        ++findingCount;
    }
    QByteArray renamed;
    QDataStream renamedStream(&renamed, QIODevice::WriteOnly);
    int renamedCount = 0;
    if (!rockRidge.joliet) {
        writeFinding(findingStream, false, Root,
                     QStringLiteral("no Joliet names: desktops that do not read Rock Ridge show short names in "
                                    "capitals"));
        ++findingCount;
    } else {
        const Imported joliet = import(path, true);
        compareNames(iso_image_get_root(rockRidge.image.get()), iso_image_get_root(joliet.image.get()), QString(), 0,
                     renamedStream, renamedCount, findingStream, findingCount);
    }

    QByteArray description;
    QDataStream out(&description, QIODevice::WriteOnly);
    out << true << QString::fromUtf8(iso_image_get_volume_id(rockRidge.image.get())) << qint32(findingCount);
    out.writeRawData(findings.constData(), findings.size());
    out << qint32(renamedCount);
    out.writeRawData(renamed.constData(), renamed.size());
    out << qint32(entryCount);
    out.writeRawData(entries.constData(), entries.size());
    return description;
}

bool writeAll(int descriptor, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(descriptor, bytes.constData() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

[[noreturn]] void readInChild(const QString &path, int descriptor)
{
    ::alarm(ImageReader::TimeLimitSeconds);
#ifndef BRINDLE_ADDRESS_SANITIZER
    // The address sanitizer reserves far more address space than any limit would allow.
    const rlimit memory{MemoryLimit, MemoryLimit};
    ::setrlimit(RLIMIT_AS, &memory);
#endif
    QByteArray description;
    try {
        description = describeImage(path);
    } catch (const Exception &e) {
        QDataStream out(&description, QIODevice::WriteOnly);
        out << false << e.Message();
    } catch (const std::bad_alloc &) {
        QDataStream out(&description, QIODevice::WriteOnly);
        out << false
            << QStringLiteral("cannot read the image %1: its folders need more than %2 MB of memory (a damaged image)")
                   .arg(path)
                   .arg(MemoryLimit >> 20);
    }
    ::_exit(writeAll(descriptor, description) ? 0 : 1);
}

// Runs the reading process and collects what it sends back, ending it when it takes too long.
QByteArray describeInChild(const QString &path)
{
    const QString cannot = QStringLiteral("cannot read the image %1").arg(path);
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0)
        throw EDiscError(QStringLiteral("%1: %2").arg(cannot, QString::fromLocal8Bit(std::strerror(errno))));
    const pid_t child = ::fork();
    if (child < 0) {
        const int failure = errno;
        ::close(channel[0]);
        ::close(channel[1]);
        throw EDiscError(QStringLiteral("%1: %2").arg(cannot, QString::fromLocal8Bit(std::strerror(failure))));
    }
    if (child == 0) {
        ::close(channel[0]);
        readInChild(path, channel[1]);
    }
    ::close(channel[1]);

    QByteArray description;
    bool tooLong = false;
    const qint64 deadline = qint64(ImageReader::TimeLimitSeconds + 2) * 1000;
    struct timespec start = {};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    char buffer[65536];
    for (;;) {
        struct timespec now = {};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const qint64 elapsed = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
        pollfd wait{channel[0], POLLIN, 0};
        const int ready = elapsed >= deadline ? 0 : ::poll(&wait, 1, int(deadline - elapsed));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || description.size() > MaxDescription) {
            tooLong = true;
            ::kill(child, SIGKILL);
            break;
        }
        const ssize_t got = ::read(channel[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        description.append(buffer, got);
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (tooLong || (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM))
        throw EDiscError(QStringLiteral("%1: reading its folders did not end within %2 seconds: the image is "
                                        "damaged (a folder that holds itself, for one)")
                             .arg(cannot)
                             .arg(ImageReader::TimeLimitSeconds));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw EDiscError(QStringLiteral("%1: the ISO library failed on it: the image is damaged").arg(cannot));
    return description;
}

} // namespace

bool ImageReader::IsImage(const QString &path)
{
    // The first volume descriptor follows 32 KiB of system area: a type byte, then "CD001".
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.seek(32768) && file.read(6).mid(1) == QByteArrayLiteral("CD001");
}

ImageReader::ImageReader(const QString &path) : path_(path), image_(path)
{
    sections_.emplace_back(); // the root's
    decode(describeInChild(path));
    Sort();
    image_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

ImageReader::~ImageReader() = default;

void ImageReader::decode(const QByteArray &description)
{
    QDataStream in(description);
    bool ok = false;
    in >> ok;
    if (!ok) {
        QString message;
        in >> message;
        throw EDiscError(message);
    }
    qint32 findingCount = 0;
    in >> label_ >> findingCount;
    for (qint32 i = 0; i < findingCount && in.status() == QDataStream::Ok; ++i) {
        DiscChecker::Finding finding;
        in >> finding.error >> finding.path >> finding.what;
        findings_.append(finding);
    }
    qint32 renamedCount = 0;
    in >> renamedCount;
    for (qint32 i = 0; i < renamedCount && in.status() == QDataStream::Ok; ++i) {
        QString path;
        QString joliet;
        in >> path >> joliet;
        jolietNames_.insert(path, joliet);
    }
    qint32 entryCount = 0;
    in >> entryCount;
    std::vector<Entry *> entries;
    for (qint32 i = 0; i < entryCount && in.status() == QDataStream::Ok; ++i) {
        qint32 parent = -1;
        quint8 kind = 0;
        quint32 mode = 0;
        qint64 size = 0;
        QString name;
        QString target;
        qint32 sectionCount = 0;
        in >> parent >> kind >> mode >> size >> name >> target >> sectionCount;
        if (parent < -1 || parent >= i || kind > quint8(Kind::Other) || sectionCount < 0 || sectionCount > 1 << 16)
            break;
        Entry *folder = parent < 0 ? &root_ : entries.at(parent);
        Entry *entry = Add(folder, name, Kind(kind));
        entry->mode = mode;
        entry->size = size;
        entry->target = target;
        entry->index = static_cast<qsizetype>(sections_.size());
        std::vector<Section> sections(sectionCount);
        for (Section &section : sections)
            in >> section.block >> section.size;
        sections_.push_back(std::move(sections));
        entries.push_back(entry);
    }
    if (in.status() != QDataStream::Ok || qsizetype(entries.size()) != entryCount)
        throw EDiscError(QStringLiteral("cannot read the image %1: its description came back damaged").arg(path_));
}

std::optional<QString> ImageReader::JolietName(const Entry &entry) const
{
    const auto found = jolietNames_.constFind(PathOf(entry));
    if (found == jolietNames_.cend())
        return std::nullopt;
    return *found;
}

std::optional<qint64> ImageReader::Offset(const Entry &file) const
{
    if (file.kind != Kind::File || file.index < 0 || std::size_t(file.index) >= sections_.size() ||
        sections_[std::size_t(file.index)].empty())
        return std::nullopt;
    return qint64(sections_[std::size_t(file.index)].front().block) * BlockSize;
}

QByteArray ImageReader::readData(const Entry &file, qint64 offset, qint64 length) const
{
    QFile &image = image_;
    if (!image.isOpen())
        throw EDiscError(image.errorString());
    QByteArray bytes;
    qint64 start = 0; // of the current section within the file
    for (const Section &section : sections_.at(file.index)) {
        const qint64 end = start + section.size;
        if (offset < end && bytes.size() < length) {
            const qint64 from = std::max(offset, start) - start;
            const qint64 wanted = std::min<qint64>(section.size - from, length - bytes.size());
            if (!image.seek(qint64(section.block) * BlockSize + from))
                throw EDiscError(image.errorString());
            const QByteArray piece = image.read(wanted);
            if (piece.size() != wanted)
                throw EDiscError(QStringLiteral("the image ends before the file's data"));
            bytes += piece;
        }
        start = end;
    }
    return bytes;
}
