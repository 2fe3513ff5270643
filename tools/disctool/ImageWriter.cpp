#include "ImageWriter.h"

#include "DiscChecker.h"
#include "EDiscError.h"
#include "FolderStream.h"
#include "IsoLibrary.h"
#include "StartOrder.h"
#include "WindowsNames.h"

#include "app/GlobalsU.h"
#include "platform/Installer.h"

#include "FolderTree.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// 2000-01-01 00:00:00 UTC: any fixed moment serves when the build gives none.
constexpr std::time_t DefaultTimestamp = 946684800;

// Joliet's volume label and publisher fields hold this many UCS-2 characters.
constexpr qsizetype MaxJolietLabel = 16;
constexpr qsizetype MaxJolietPublisher = 64;

constexpr mode_t ReadOnly = 0444;
constexpr mode_t Executable = 0555;

void check(int result, const QString &what)
{
    if (result < 0)
        throw EDiscError(QStringLiteral("%1: %2").arg(what, IsoLibrary::Describe(result)));
}

// The burn source libisofs hands out: freed, and its writer thread stopped, when done with.
struct BurnSource
{
    burn_source *source = nullptr;
    bool finished = false;
    ~BurnSource()
    {
        if (!source)
            return;
        if (!finished)
            source->cancel(source);
        source->free_data(source);
        std::free(source);
    }
};

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The temporary image a signal must not leave behind; written before the handlers are set.
char PendingImage[PATH_MAX] = {};
constexpr int CleanedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void RemovePendingImage(int signal)
{
    ::unlink(PendingImage);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The image file being written: under a temporary name beside its place, renamed into place when
// complete and removed when not (on a signal too). Errors carry the system's reason.
class ImageFile
{
public:
    ImageFile(const QString &path, const QString &folder) : path_(path)
    {
        const QFileInfo info(path);
        const QString into = QFileInfo(info.absolutePath()).canonicalFilePath();
        const QString source = QFileInfo(folder).canonicalFilePath();
        if (!into.isEmpty() && (into == source || into.startsWith(source + QLatin1Char('/'))))
            throw EDiscError(QStringLiteral("cannot write %1 inside the disc folder %2: the image would hold "
                                            "itself, and the next one the image before it")
                                 .arg(path, folder));
        temporary_ = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()) + ".XXXXXX";
        if (temporary_.size() >= PATH_MAX)
            throw EDiscError(QStringLiteral("cannot write %1: %2").arg(path, reason(ENAMETOOLONG)));
        descriptor_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
        if (descriptor_ < 0)
            throw EDiscError(QStringLiteral("cannot write %1: %2").arg(path, reason(errno)));
        std::strcpy(PendingImage, temporary_.constData());
        for (const int signal : CleanedSignals)
            std::signal(signal, RemovePendingImage);
    }

    ~ImageFile()
    {
        for (const int signal : CleanedSignals)
            std::signal(signal, SIG_DFL);
        PendingImage[0] = '\0';
        if (descriptor_ >= 0)
            ::close(descriptor_);
        if (!committed_)
            ::unlink(temporary_.constData());
    }

    ImageFile(const ImageFile &) = delete;
    ImageFile &operator=(const ImageFile &) = delete;

    void Write(const unsigned char *data, int size)
    {
        for (int done = 0; done < size;) {
            const ssize_t written = ::write(descriptor_, data + done, size - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                fail(written < 0 ? errno : ENOSPC);
            done += int(written);
        }
    }

    void Commit()
    {
        // A new file's mode, as the user's file-creation mask leaves it.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(descriptor_, 0666 & ~mask) != 0 || ::fsync(descriptor_) != 0)
            fail(errno);
        const int descriptor = descriptor_;
        descriptor_ = -1;
        if (::close(descriptor) != 0)
            fail(errno);
        if (::rename(temporary_.constData(), QFile::encodeName(path_).constData()) != 0)
            fail(errno);
        committed_ = true;
    }

private:
    [[noreturn]] void fail(int error) const
    {
        throw EDiscError(QStringLiteral("cannot write %1: %2").arg(path_, reason(error)));
    }

    QString path_;
    QByteArray temporary_;
    int descriptor_ = -1;
    bool committed_ = false;
};

// Owner and group root, the same time for everything; mode 0 leaves a link's mode as it is.
void settle(IsoNode *node, mode_t mode, std::time_t timestamp)
{
    if (mode != 0)
        iso_node_set_permissions(node, mode);
    iso_node_set_uid(node, 0);
    iso_node_set_gid(node, 0);
    iso_node_set_mtime(node, timestamp);
    iso_node_set_atime(node, timestamp);
    iso_node_set_ctime(node, timestamp);
}

// A Linux installer in an installer folder of the disc, which the Linux menu starts itself.
bool linuxInstaller(const QString &path)
{
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
    const QString name = path.mid(folder.size());
    const QStringList names = Installer::LinuxNames();
    if (std::none_of(names.cbegin(), names.cend(),
                     [&name](const QString &known) { return known.compare(name, Qt::CaseInsensitive) == 0; }))
        return false;
    QStringList folders{QString(), GlobalsU::FolderOf(DiscFolder::Sample)};
    for (int tool = 1; tool <= 4; ++tool)
        folders.append(GlobalsU::ToolFolder(tool));
    return std::any_of(folders.cbegin(), folders.cend(),
                       [&folder](const QString &own) { return own.compare(folder, Qt::CaseInsensitive) == 0; });
}

} // namespace

ImageWriter::ImageWriter(const QString &folder)
    : tree_(std::make_unique<FolderTree>(folder)), root_(tree_->Folder()), timestamp_(Timestamp())
{
    QStringList refused;
    for (const FolderTree::Problem &problem : tree_->Problems())
        refused.append(QStringLiteral("%1: %2").arg(problem.path, problem.what));
    const QStringList programs = DiscChecker::Programs(*tree_);
    // Windows reads the names through Joliet: on a disc for Windows each must be mastered as it stands.
    const bool windows = std::any_of(programs.cbegin(), programs.cend(), [this](const QString &program) {
        const DiscTree::Entry *entry = tree_->Find(program);
        return entry && tree_->Read(*entry, 0, 2) == QByteArrayLiteral("MZ");
    });
    // Each folder with whether the names in it are still to be looked at (not below a refused one).
    std::vector<std::pair<const DiscTree::Entry *, bool>> pending{{&tree_->Root(), windows}};
    while (!pending.empty()) {
        const auto [at, names] = pending.back();
        pending.pop_back();
        for (const auto &entry : at->children) {
            const QString name =
                names && entry->kind != DiscTree::Kind::Link
                    ? WindowsNames::PathProblem(DiscTree::PathOf(*entry), entry->kind == DiscTree::Kind::Folder)
                    : QString();
            if (!name.isEmpty())
                refused.append(QStringLiteral("%1: %2").arg(DiscTree::PathOf(*entry), name));
            if (entry->kind == DiscTree::Kind::Folder)
                pending.emplace_back(entry.get(), names && name.isEmpty());
            else if (entry->kind == DiscTree::Kind::File &&
                     ::access(QFile::encodeName(tree_->HostPath(*entry)).constData(), R_OK) != 0) {
                const QString why = reason(errno);
                refused.append(QStringLiteral("%1: cannot be read: %2").arg(DiscTree::PathOf(*entry), why));
            }
        }
    }
    if (!refused.isEmpty()) {
        std::sort(refused.begin(), refused.end());
        throw EDiscError(QStringLiteral("%1 holds what cannot go on a disc; nothing was written:").arg(folder),
                         refused);
    }

    if (programs.isEmpty())
        throw EDiscError(
            QStringLiteral("%1 has no menu program at its root: the disc number cannot be told").arg(folder));
    QSet<int> numbers;
    for (const QString &program : programs) {
        try {
            numbers.insert(GlobalsU::DigitsToNumber(program));
        } catch (const EConvertError &) {
            throw EDiscError(QStringLiteral("the digits of %1 make a number above 2147483647").arg(program));
        }
    }
    if (numbers.size() > 1)
        throw EDiscError(QStringLiteral("the menu programs %1 name different discs: the disc number cannot be told")
                             .arg(programs.join(QStringLiteral(", "))));
    label_ = QStringLiteral("BRINDLE%1").arg(*numbers.cbegin(), 2, 10, QLatin1Char('0'));
    executables_ = programs;
    executables_.append(QStringLiteral("autorun.sh"));
}

ImageWriter::~ImageWriter() = default;

void ImageWriter::SetLabel(const QString &label)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Z0-9_]{1,%1}$").arg(MaxJolietLabel));
    if (!allowed.match(label).hasMatch())
        throw EDiscError(QStringLiteral("the label \"%1\" is not 1 to %2 of A to Z, 0 to 9 and \"_\": ISO 9660 holds "
                                        "no other characters in a volume label, and Joliet, whose label Windows "
                                        "shows, no more than %2")
                             .arg(label)
                             .arg(MaxJolietLabel));
    label_ = label;
}

void ImageWriter::SetPublisher(const QString &publisher)
{
    if (publisher.size() > MaxJolietPublisher ||
        std::any_of(publisher.cbegin(), publisher.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        throw EDiscError(QStringLiteral("the publisher \"%1\" is longer than the %2 characters Joliet holds or holds "
                                        "control characters")
                             .arg(publisher)
                             .arg(MaxJolietPublisher));
    publisher_ = publisher;
}

std::time_t ImageWriter::Timestamp()
{
    const QByteArray given = qgetenv("SOURCE_DATE_EPOCH");
    if (given.isEmpty())
        return DefaultTimestamp;
    bool ok = false;
    const qlonglong seconds = given.toLongLong(&ok);
    // ISO 9660 records years from 1900 to 2155.
    if (!ok || seconds < 0 || seconds > 5'000'000'000LL)
        throw EDiscError(QStringLiteral("SOURCE_DATE_EPOCH=%1 is not a time the disc can carry (seconds since "
                                        "1970, up to 5000000000)")
                             .arg(QString::fromLocal8Bit(given)));
    return static_cast<std::time_t>(seconds);
}

void ImageWriter::Write(const QString &path)
{
    IsoLibrary::Start();
    IsoImage *created = nullptr;
    check(iso_image_new(label_.toUtf8().constData(), &created), QStringLiteral("cannot start the image"));
    const IsoLibrary::Owned<IsoImage> image(created);
    // ISO 9660 holds the publisher in capitals, Joliet as given.
    if (!publisher_.isEmpty())
        iso_image_set_publisher_id(image.get(), publisher_.toUtf8().constData());
    iso_tree_set_follow_symlinks(image.get(), 0);
    iso_tree_set_ignore_hidden(image.get(), 0);
    IsoDir *root = iso_image_get_root(image.get());
    settle(reinterpret_cast<IsoNode *>(root), Executable, timestamp_);
    FolderStream::Failure failure;
    addTree(image.get(), failure);

    IsoWriteOpts *createdOptions = nullptr;
    check(iso_write_opts_new(&createdOptions, 0), QStringLiteral("cannot set up the image"));
    const IsoLibrary::Owned<IsoWriteOpts> options(createdOptions);
    iso_write_opts_set_iso_level(options.get(), 3);
    iso_write_opts_set_rockridge(options.get(), 1);
    iso_write_opts_set_joliet(options.get(), 1);
    iso_write_opts_set_output_charset(options.get(), "UTF-8");
    // Windows reads the names through Joliet: as they stand, without the version number (";1") and
    // the dot the library would add to a name without one, and in UTF-16, so that a character
    // beyond UCS-2 is not turned into "_". Joliet's limits on length are left as they are.
    iso_write_opts_set_omit_version_numbers(options.get(), 2);
    iso_write_opts_set_no_force_dots(options.get(), 2);
    iso_write_opts_set_joliet_utf16(options.get(), 1);
    iso_write_opts_set_always_gmt(options.get(), 1);
    // The files a start reads come first, in the order it reads them (their weights).
    iso_write_opts_set_sort_files(options.get(), 1);
    // Every time stamp is the file's own (all set to timestamp_), never the time of writing.
    iso_write_opts_set_dir_rec_mtime(options.get(), 1 | 2 | 4);
    QByteArray volumeTime =
        QDateTime::fromSecsSinceEpoch(timestamp_, Qt::UTC).toString(QStringLiteral("yyyyMMddHHmmss00")).toLatin1();
    check(iso_write_opts_set_pvd_times(options.get(), timestamp_, timestamp_, 0, 0, volumeTime.data()),
          QStringLiteral("cannot set the volume's time"));

    ImageFile file(path, root_);
    burn_source *createdSource = nullptr;
    check(iso_image_create_burn_source(image.get(), options.get(), &createdSource),
          QStringLiteral("cannot master %1").arg(path));
    BurnSource source{createdSource};
    unsigned char block[2048];
    for (;;) {
        const int read = source.source->read_xt(source.source, block, sizeof block);
        if (read == 0)
            break;
        if (read < 0)
            throw EDiscError(QStringLiteral("cannot master %1: a file of %2 could not be read").arg(path, root_));
        file.Write(block, read);
    }
    // libisofs writes zeros for a file it cannot read, and goes on.
    if (const QString reason = failure.Reason(); !reason.isEmpty())
        throw EDiscError(QStringLiteral("cannot master %1: %2").arg(path, reason));
    source.finished = true;
    file.Commit();
}

void ImageWriter::addTree(IsoImage *image, FolderStream::Failure &failure) const
{
    const StartOrder order(*tree_);
    std::vector<std::pair<const DiscTree::Entry *, IsoDir *>> pending{{&tree_->Root(), iso_image_get_root(image)}};
    while (!pending.empty()) {
        const auto [folder, parent] = pending.back();
        pending.pop_back();
        for (const auto &entry : folder->children) {
            const QByteArray name = entry->name.toUtf8();
            const QString source = tree_->HostPath(*entry);
            const QString cannot = QStringLiteral("cannot add %1").arg(source);
            if (entry->kind == DiscTree::Kind::Folder) {
                IsoDir *added = nullptr;
                check(iso_tree_add_new_dir(parent, name.constData(), &added), cannot);
                settle(reinterpret_cast<IsoNode *>(added), Executable, timestamp_);
                pending.emplace_back(entry.get(), added);
                continue;
            }
            // The link and the file as they were read and checked, not as the path may lead now.
            IsoNode *node = nullptr;
            if (entry->kind == DiscTree::Kind::Link) {
                IsoSymlink *link = nullptr;
                check(iso_tree_add_new_symlink(parent, name.constData(), entry->target.toUtf8().constData(), &link),
                      cannot);
                node = reinterpret_cast<IsoNode *>(link);
            } else {
                const auto [device, inode] = tree_->Identity(*entry);
                IsoFile *file = nullptr;
                IsoStream *stream =
                    FolderStream::Make(source, DiscTree::PathOf(*entry), device, inode, entry->size, failure);
                const int added = iso_tree_add_new_file(parent, name.constData(), stream, &file);
                if (added < 0)
                    iso_stream_unref(stream);
                check(added, cannot);
                node = reinterpret_cast<IsoNode *>(file);
            }
            const bool executable = (folder == &tree_->Root() && executables_.contains(entry->name)) ||
                                    linuxInstaller(DiscTree::PathOf(*entry));
            settle(node, entry->kind == DiscTree::Kind::Link ? 0 : executable ? Executable : ReadOnly, timestamp_);
            if (const int weight = order.Weight(*entry))
                iso_node_set_sort_weight(node, weight);
        }
    }
}
