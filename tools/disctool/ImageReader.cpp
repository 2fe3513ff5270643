#include "ImageReader.h"

#include "EDiscError.h"
#include "IsoLibrary.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <sys/stat.h>

namespace {

const QString Root = QStringLiteral("./");

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

} // namespace

struct ImageReader::Trees
{
    Imported rockRidge;
    Imported joliet; // empty when the image holds no Joliet names
};

bool ImageReader::IsImage(const QString &path)
{
    // The first volume descriptor follows 32 KiB of system area: a type byte, then "CD001".
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.seek(32768) && file.read(6).mid(1) == QByteArrayLiteral("CD001");
}

ImageReader::ImageReader(const QString &path) : path_(path), trees_(std::make_unique<Trees>())
{
    IsoLibrary::Start();
    trees_->rockRidge = import(path, false);
    if (trees_->rockRidge.joliet)
        trees_->joliet = import(path, true);
}

ImageReader::~ImageReader() = default;

QString ImageReader::Label() const
{
    return QString::fromUtf8(iso_image_get_volume_id(trees_->rockRidge.image.get()));
}

void ImageReader::Extract(const QString &folder) const
{
    extractFolder(iso_image_get_root(trees_->rockRidge.image.get()), folder);
}

void ImageReader::extractFolder(IsoDir *folder, const QString &path) const
{
    const auto iterator = children(folder);
    IsoNode *node = nullptr;
    while (iso_dir_iter_next(iterator.get(), &node) == 1) {
        const QString name = nameOf(node);
        if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..") ||
            name.contains(QLatin1Char('/')))
            throw EDiscError(
                QStringLiteral("the image %1 holds a name that cannot be a file name: \"%2\"").arg(path_, name));
        const QString target = path + QLatin1Char('/') + name;
        const QString cannot = QStringLiteral("cannot lay out %1 from the image").arg(target);
        switch (iso_node_get_type(node)) {
        case LIBISO_DIR:
            if (!QDir().mkdir(target))
                throw EDiscError(cannot);
            extractFolder(reinterpret_cast<IsoDir *>(node), target);
            break;
        case LIBISO_FILE: {
            IsoStream *stream = iso_file_get_stream(reinterpret_cast<IsoFile *>(node));
            check(iso_stream_open(stream), cannot);
            QFile file(target);
            bool written = file.open(QIODevice::WriteOnly);
            char block[65536];
            int read = 0;
            while (written && (read = iso_stream_read(stream, block, sizeof block)) > 0)
                written = file.write(block, read) == read;
            iso_stream_close(stream);
            file.close();
            check(read, cannot);
            if (!written || file.error() != QFileDevice::NoError)
                throw EDiscError(QStringLiteral("%1: %2").arg(cannot, file.errorString()));
            if (::chmod(QFile::encodeName(target).constData(), iso_node_get_permissions(node) & 07777) != 0)
                throw EDiscError(cannot);
            break;
        }
        case LIBISO_SYMLINK:
            if (!QFile::link(QString::fromUtf8(iso_symlink_get_dest(reinterpret_cast<IsoSymlink *>(node))), target))
                throw EDiscError(cannot);
            break;
        default:
            break; // devices and pipes mean nothing on a disc
        }
    }
}

QList<DiscChecker::Finding> ImageReader::Findings() const
{
    QList<DiscChecker::Finding> findings;
    if (!trees_->rockRidge.rockRidge)
        findings.append({false, Root,
                         QStringLiteral("no Rock Ridge extensions: files carry no modes (the program cannot be "
                                        "executable) and names show in their short ISO 9660 form")});
    if (!trees_->rockRidge.joliet)
        findings.append({false, Root,
                         QStringLiteral("no Joliet names: desktops that do not read Rock Ridge show short names in "
                                        "capitals")});
    else
        compareNames(iso_image_get_root(trees_->rockRidge.image.get()), iso_image_get_root(trees_->joliet.image.get()),
                     QString(), findings);
    return findings;
}

void ImageReader::compareNames(IsoDir *rockRidge, IsoDir *joliet, const QString &path,
                               QList<DiscChecker::Finding> &findings) const
{
    // A file keeps its place on the disc under either name, so a changed name is found by its data.
    QHash<QString, IsoNode *> jolietByName;
    QHash<quint32, QString> jolietByBlock;
    const auto jolietChildren = children(joliet);
    IsoNode *node = nullptr;
    while (iso_dir_iter_next(jolietChildren.get(), &node) == 1) {
        jolietByName.insert(nameOf(node), node);
        uint32_t block = 0;
        if (ISO_NODE_IS_FILE(node) && iso_file_get_size(reinterpret_cast<IsoFile *>(node)) > 0 &&
            iso_file_get_old_image_lba(reinterpret_cast<IsoFile *>(node), &block, 0) == 1)
            jolietByBlock.insert(block, nameOf(node));
    }

    const auto rockRidgeChildren = children(rockRidge);
    while (iso_dir_iter_next(rockRidgeChildren.get(), &node) == 1) {
        const QString name = nameOf(node);
        const QString relative = path + name + (ISO_NODE_IS_DIR(node) ? QStringLiteral("/") : QString());
        IsoNode *twin = jolietByName.value(name);
        if (twin) {
            if (ISO_NODE_IS_DIR(node) && ISO_NODE_IS_DIR(twin))
                compareNames(reinterpret_cast<IsoDir *>(node), reinterpret_cast<IsoDir *>(twin), relative, findings);
            continue;
        }
        uint32_t block = 0;
        QString shown;
        if (ISO_NODE_IS_FILE(node) && iso_file_get_size(reinterpret_cast<IsoFile *>(node)) > 0 &&
            iso_file_get_old_image_lba(reinterpret_cast<IsoFile *>(node), &block, 0) == 1)
            shown = jolietByBlock.value(block);
        findings.append({false, relative,
                         shown.isEmpty()
                             ? QStringLiteral("Joliet cuts or changes this name: desktops that read only Joliet "
                                              "names show another one")
                             : QStringLiteral("Joliet cuts or changes this name to \"%1\": desktops that read only "
                                              "Joliet names show that one")
                                   .arg(shown)});
    }
}
