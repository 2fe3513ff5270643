#include "ImageWriter.h"

#include "DiscChecker.h"
#include "EDiscError.h"
#include "IsoLibrary.h"

#include "app/GlobalsU.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <cstdlib>

namespace {

// 2000-01-01 00:00:00 UTC: any fixed moment serves when the build gives none.
constexpr std::time_t DefaultTimestamp = 946684800;

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

} // namespace

ImageWriter::ImageWriter(const QString &folder) : timestamp_(Timestamp())
{
    const QFileInfo info(folder);
    if (!info.isDir())
        throw EDiscError(QStringLiteral("%1 is not a folder").arg(folder));
    root_ = info.absoluteFilePath();

    const QStringList programs = DiscChecker::Programs(root_);
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
    iso_tree_set_follow_symlinks(image.get(), 0);
    iso_tree_set_ignore_hidden(image.get(), 0);
    IsoDir *root = iso_image_get_root(image.get());
    settle(reinterpret_cast<IsoNode *>(root), Executable, timestamp_);
    addFolder(image.get(), root, root_, true);

    IsoWriteOpts *createdOptions = nullptr;
    check(iso_write_opts_new(&createdOptions, 0), QStringLiteral("cannot set up the image"));
    const IsoLibrary::Owned<IsoWriteOpts> options(createdOptions);
    iso_write_opts_set_iso_level(options.get(), 3);
    iso_write_opts_set_rockridge(options.get(), 1);
    iso_write_opts_set_joliet(options.get(), 1);
    iso_write_opts_set_output_charset(options.get(), "UTF-8");
    iso_write_opts_set_always_gmt(options.get(), 1);
    // Every time stamp is the file's own (all set to timestamp_), never the time of writing.
    iso_write_opts_set_dir_rec_mtime(options.get(), 1 | 2 | 4);
    QByteArray volumeTime =
        QDateTime::fromSecsSinceEpoch(timestamp_, Qt::UTC).toString(QStringLiteral("yyyyMMddHHmmss00")).toLatin1();
    check(iso_write_opts_set_pvd_times(options.get(), timestamp_, timestamp_, 0, 0, volumeTime.data()),
          QStringLiteral("cannot set the volume's time"));

    burn_source *createdSource = nullptr;
    check(iso_image_create_burn_source(image.get(), options.get(), &createdSource),
          QStringLiteral("cannot master %1").arg(path));
    BurnSource source{createdSource};

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EDiscError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    unsigned char block[2048];
    for (;;) {
        const int read = source.source->read_xt(source.source, block, sizeof block);
        if (read == 0)
            break;
        if (read < 0)
            throw EDiscError(QStringLiteral("cannot master %1: a file of %2 could not be read").arg(path, root_));
        if (file.write(reinterpret_cast<const char *>(block), read) != read)
            throw EDiscError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    }
    source.finished = true;
    if (!file.commit())
        throw EDiscError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

void ImageWriter::addFolder(IsoImage *image, IsoDir *parent, const QString &path, bool atRoot) const
{
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QByteArray name = entry.fileName().toUtf8();
        const QByteArray source = QFile::encodeName(entry.absoluteFilePath());
        if (!entry.isSymLink() && !entry.isDir() && !entry.isReadable())
            throw EDiscError(QStringLiteral("cannot read %1").arg(entry.absoluteFilePath()));
        if (entry.isDir() && !entry.isSymLink()) {
            IsoDir *folder = nullptr;
            check(iso_tree_add_new_dir(parent, name.constData(), &folder),
                  QStringLiteral("cannot add %1").arg(entry.absoluteFilePath()));
            settle(reinterpret_cast<IsoNode *>(folder), Executable, timestamp_);
            addFolder(image, folder, entry.absoluteFilePath(), false);
        } else {
            IsoNode *node = nullptr;
            check(iso_tree_add_new_node(image, parent, name.constData(), source.constData(), &node),
                  QStringLiteral("cannot add %1").arg(entry.absoluteFilePath()));
            const bool executable = atRoot && executables_.contains(entry.fileName());
            settle(node, entry.isSymLink() ? 0 : executable ? Executable : ReadOnly, timestamp_);
        }
    }
}
