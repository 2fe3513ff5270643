#include "app/GlobalsU.h"

#include "platform/DiscPath.h"
#include "platform/Shell.h"
#include "toolkit/BitmapFile.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Image.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <limits>

namespace GlobalsU {

const std::array<const char *, 4> ColourFolders = {"Blue/", "Red/", "Purple/", "Green/"};
const std::array<QColor, 4> LabelColours = {QColor(148, 165, 222), QColor(222, 0, 41), QColor(99, 8, 123),
                                            QColor(0, 181, 57)};

namespace {
DiscContext &context()
{
    static DiscContext c;
    return c;
}

struct FolderEntry
{
    DiscFolder folder;
    const char *path;
};

// The disc's layout: every folder the menu reads, relative to the program's folder.
constexpr FolderEntry DiscLayout[] = {
    {DiscFolder::Interface, "Files/Interface/"},  {DiscFolder::SamplePics, "Files/Sample Pics/"},
    {DiscFolder::TextFiles, "Files/Text Files/"}, {DiscFolder::Templates, "Files/Templates/"},
    {DiscFolder::Images, "Files/Images/"},        {DiscFolder::Sounds, "Files/Sounds/"},
    {DiscFolder::Sample, "Files/Sample/"},        {DiscFolder::ToolBox, "Files/ToolBox/"},
    {DiscFolder::WebFiles, "Files/Web Files/"},
};
} // namespace

const DiscContext &Context()
{
    return context();
}

void SetContext(const DiscContext &c)
{
    context() = c;
}

void InitDiscContext(const QString &programPath)
{
    SetContext(DiscContext::FromProgramPath(programPath));
}

QString FolderOf(DiscFolder folder)
{
    for (const FolderEntry &entry : DiscLayout) {
        if (entry.folder == folder)
            return QDir::toNativeSeparators(QString::fromLatin1(entry.path));
    }
    return {};
}

QString ToolFolder(int tool)
{
    return FolderOf(DiscFolder::ToolBox) + QStringLiteral("Tool") + QString::number(tool) + QDir::separator();
}

QString DiscFile(DiscFolder folder, const QString &fileName)
{
    return AppFolder() + FolderOf(folder) + fileName;
}

std::int32_t DigitsToNumber(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    if (digits.isEmpty())
        return 0;
    qint64 value = 0;
    for (const QChar c : digits) {
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<std::int32_t>::max())
            throw EConvertError(digits);
    }
    return static_cast<std::int32_t>(value);
}

QString WithTrailingBackslash(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) <= QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) <= QLatin1Char(' '))
        --last;
    QString result = text.mid(first, last - first);
    if (!result.isEmpty() && !result.endsWith(QDir::separator()))
        result.append(QDir::separator());
    return result;
}

void ShellRun(const QString &fileName, const QString &parameters, const QString &folder, int showMode)
{
    Shell::Open(fileName, parameters, folder, showMode);
}

QByteArray ReadDiscFile(const QString &fileName)
{
    QFile file(DiscPath::Resolve(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(fileName);
    return file.readAll();
}

QImage DecodeBitmap(const QByteArray &data)
{
    QImage bitmap = BitmapFile::Decode(data);
    if (bitmap.isNull())
        throw EInvalidGraphic();
    return bitmap;
}

QImage ReadBitmapFile(const QString &fileName)
{
    return DecodeBitmap(ReadDiscFile(fileName));
}

void PaintBitmapFile(TImage &image, const QString &fileName)
{
    PaintBitmap(image, ReadBitmapFile(fileName));
}

void PaintBitmap(TImage &image, const QImage &bitmap)
{
    const QSize covered = image.PictureSize();
    if (!bitmap.hasAlphaChannel() && bitmap.width() >= covered.width() && bitmap.height() >= covered.height()) {
        // The file hides every pixel of the picture, which then need not be decoded at all.
        const QImage whole = bitmap.size() == covered ? bitmap : bitmap.copy(QRect(QPoint(0, 0), covered));
        image.SetPicture(whole.convertToFormat(QImage::Format_RGB32));
        return;
    }
    image.Modify([&bitmap](QImage &picture) {
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, bitmap);
    });
}

} // namespace GlobalsU

DiscContext DiscContext::FromProgramPath(const QString &programPath)
{
    // Qt reports the program's path with "/" on every system; the program's paths use the system's
    // own separator.
    const QString path = QDir::toNativeSeparators(programPath);
    const qsizetype cut = path.lastIndexOf(QDir::separator()) + 1;
    DiscContext c;
    // The whole file name, extension included: CD07.exe is disc 7.
    c.DiscNumber = GlobalsU::DigitsToNumber(path.mid(cut));
    c.AppFolder = path.left(cut);
    c.ColourIndex = static_cast<std::uint8_t>(c.DiscNumber % 4);
    c.InterfaceFolder = c.AppFolder + GlobalsU::FolderOf(DiscFolder::Interface) +
                        QDir::toNativeSeparators(QString::fromLatin1(GlobalsU::ColourFolders[c.ColourIndex]));
    return c;
}
