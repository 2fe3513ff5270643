// artgen: draws the program's built-in artwork and writes it in its stored forms.
//   artgen --out <dir>              pictures (*.pic), image-list streams (*.il) and MAINICON.ico
//   artgen --disc-art <dir>         the disc's own backdrops and sample picture
//   artgen --contact-sheet <file>   one PNG with every asset and every frame
//   artgen --icon-png <file>        the program's icon as a PNG, for the desktop's icon theme

#include "Frames.h"
#include "IconFile.h"
#include "Palette.h"
#include "Pictures.h"
#include "toolkit/ImageListStream.h"
#include "toolkit/PictureData.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>

#include <cstdio>

namespace {

struct List
{
    QString name;
    QList<QImage> frames;
    int allocated;
    QColor background;
};

struct Still
{
    QString name;
    QImage image;
    int dotsPerInch;
};

// Everything the program carries, drawn once.
struct Artwork
{
    QList<List> lists;
    QList<Still> stills;
    QImage icon;
    QList<std::pair<QString, QImage>> backdrops;
    QImage sampleScreenshot;
};

Artwork Draw()
{
    Artwork art;
    art.lists = {{QStringLiteral("ilstExtraFiles"), Frames::ExtraFiles(), 44, QColor(0xEF, 0xEF, 0xEF)},
                 {QStringLiteral("ilstSampleware"), Frames::Sampleware(), 34, QColor(0x00, 0x80, 0x00)},
                 {QStringLiteral("ilstOrder"), Frames::Order(), 39, QColor(0xD6, 0xD6, 0xD6)},
                 {QStringLiteral("ilstToolBox"), Frames::Toolbox(), 29, QColor(0xD6, 0xD6, 0xD6)}};
    const QImage mainScreen = Pictures::MainScreen(art.lists[1].frames[0], art.lists[2].frames[0],
                                                   art.lists[0].frames[33], art.lists[3].frames[0]);

    // The main window's 8-bit pictures share one palette of 235 colours.
    const QImage sampleware = Pictures::SamplewarePage(false);
    const QImage samplewareLit = Pictures::SamplewarePage(true);
    const QImage extraFiles = Pictures::ExtraFilesPage(false);
    const QImage toolbox = Pictures::ToolboxPage();
    const QImage quit = Pictures::Quit(false);
    const QImage quitLit = Pictures::Quit(true);
    const QImage bulletLit = samplewareLit.copy(336, 202, 22, 22);
    const QImage arrowLit = samplewareLit.copy(264, 141, 22, 27);
    const QList<QRgb> palette =
        Palette::For({sampleware, extraFiles, toolbox, quit, quitLit, bulletLit, arrowLit}, 235);
    const QImage quitReduced = Palette::Reduce(quit, palette);

    const QImage backdrop = Pictures::Backdrop(Paint::Blue(), mainScreen, quitReduced);
    const QImage credits = Pictures::Credits();
    art.stills = {{QStringLiteral("imgMainBack"), backdrop, 72},
                  {QStringLiteral("imgQuit"), Palette::Reduce(quitLit, palette), 72},
                  {QStringLiteral("imgMainScreen"), mainScreen, 72},
                  {QStringLiteral("imgSampleware"), Palette::Reduce(sampleware, palette), 72},
                  {QStringLiteral("imgSample"), Pictures::SamplePlaceholder(), 72},
                  {QStringLiteral("imgLitBullet"), Palette::Reduce(bulletLit, palette), 72},
                  {QStringLiteral("imgArrow"), Palette::Reduce(arrowLit, palette), 72},
                  {QStringLiteral("imgExtraFiles"), Palette::Reduce(extraFiles, palette), 72},
                  {QStringLiteral("imgToolbox"), Palette::Reduce(toolbox, palette), 72},
                  {QStringLiteral("imgCredits"), Palette::Reduce(credits, Palette::For({credits}, 256)), 96}};
    art.icon = Pictures::IconPicture();
    art.backdrops = {{QStringLiteral("Blue"), backdrop},
                     {QStringLiteral("Red"), Pictures::Backdrop(Paint::Red(), mainScreen, quitReduced)},
                     {QStringLiteral("Purple"), Pictures::Backdrop(Paint::Purple(), mainScreen, quitReduced)},
                     {QStringLiteral("Green"), Pictures::Backdrop(Paint::Green(), mainScreen, quitReduced)}};
    art.sampleScreenshot = Pictures::SampleScreenshot();
    return art;
}

bool Save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool WriteStored(const Artwork &art, const QString &dir)
{
    if (!QDir().mkpath(dir))
        return false;
    bool ok = true;
    for (const Still &still : art.stills)
        ok &= Save(dir + QLatin1Char('/') + still.name + QStringLiteral(".pic"),
                   PictureData::Write(still.image, still.dotsPerInch));
    for (const List &list : art.lists)
        ok &= Save(dir + QLatin1Char('/') + list.name + QStringLiteral(".il"),
                   ImageListStream::Write(list.frames, Frames::Width, Frames::Height, list.allocated, list.background));
    ok &= Save(dir + QStringLiteral("/MAINICON.ico"), IconFile::Write(art.icon));
    return ok;
}

bool WriteDiscArt(const Artwork &art, const QString &dir)
{
    bool ok = true;
    for (const auto &[scheme, picture] : art.backdrops) {
        const QString folder = dir + QStringLiteral("/Files/Interface/") + scheme;
        ok &= QDir().mkpath(folder) &&
              Save(folder + QStringLiteral("/MainBack.bmp"), PictureData::BitmapFile(picture, 72));
    }
    const QString pics = dir + QStringLiteral("/Files/Sample Pics");
    ok &= QDir().mkpath(pics) &&
          Save(pics + QStringLiteral("/Sampleware.bmp"), PictureData::BitmapFile(art.sampleScreenshot, 72));
    return ok;
}

// The desktop shows the very picture the window carries: the icon file as stored, decoded, in the
// 16 colours and with the mask it was reduced to.
bool WriteIconPng(const Artwork &art, const QString &file)
{
    const QImage stored = QImage::fromData(IconFile::Write(art.icon), "ICO");
    if (stored.isNull() || !stored.save(file, "PNG")) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

bool WriteContactSheet(const Artwork &art, const QString &file)
{
    constexpr int Margin = 12;
    constexpr int Column = 4 * (Frames::Width + 6);
    int height = Margin;
    const auto listHeight = [](const List &list) {
        return 18 + ((list.frames.size() + 3) / 4) * (Frames::Height + 16);
    };
    int listsHeight = 0;
    for (const List &list : art.lists)
        listsHeight += listHeight(list) + Margin;
    int stillsHeight = 0;
    for (const auto &[name, picture] : art.backdrops)
        stillsHeight += picture.height() + 18 + Margin;
    height += std::max(listsHeight, stillsHeight + 1000);
    QImage sheet(Margin * 4 + Column + 640 + 500, height, QImage::Format_RGB32);
    sheet.fill(QColor(60, 60, 64));
    QPainter p(&sheet);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    int y = Margin;
    for (const List &list : art.lists) {
        p.drawText(
            Margin, y + 12,
            QStringLiteral("%1: %2 frames, %3 slots").arg(list.name).arg(list.frames.size()).arg(list.allocated));
        y += 18;
        for (int i = 0; i < list.frames.size(); ++i) {
            const int x = Margin + (i % 4) * (Frames::Width + 6);
            const int top = y + (i / 4) * (Frames::Height + 16);
            p.drawText(x, top + 11, QString::number(i));
            p.drawImage(x, top + 14, list.frames[i]);
        }
        y += listHeight(list) - 18 + Margin;
    }
    const int x0 = Margin * 2 + Column;
    y = Margin;
    for (const auto &[name, picture] : art.backdrops) {
        p.drawText(x0, y + 12, QStringLiteral("MainBack.bmp (%1)").arg(name));
        p.drawImage(x0, y + 18, picture);
        y += picture.height() + 18 + Margin;
    }
    int x = x0 + 640 + Margin;
    int rowY = Margin;
    for (const Still &still : art.stills) {
        if (still.name == QStringLiteral("imgMainBack"))
            continue;
        if (rowY + still.image.height() + 18 > sheet.height())
            break;
        p.drawText(x, rowY + 12,
                   QStringLiteral("%1 %2x%3").arg(still.name).arg(still.image.width()).arg(still.image.height()));
        p.drawImage(x, rowY + 18, still.image);
        rowY += still.image.height() + 18 + Margin;
    }
    p.drawText(x0, y + 12, QStringLiteral("Icon, sample screenshot"));
    p.drawImage(x0, y + 18, art.icon.scaled(128, 128));
    p.drawImage(x0 + 140, y + 18, art.sampleScreenshot);
    p.end();
    return sheet.save(file, "PNG");
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: artgen [--out DIR] [--disc-art DIR] [--contact-sheet FILE.png] [--icon-png FILE.png]\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    // The generator draws off screen; it needs the font database but no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.size() % 2 != 0)
        return Usage();
    for (int i = 0; i < args.size(); i += 2)
        if (args[i] != QStringLiteral("--out") && args[i] != QStringLiteral("--disc-art") &&
            args[i] != QStringLiteral("--contact-sheet") && args[i] != QStringLiteral("--icon-png"))
            return Usage();
    const Artwork art = Draw();
    bool ok = true;
    for (int i = 0; i < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--out"))
            ok &= WriteStored(art, args[i + 1]);
        else if (args[i] == QStringLiteral("--disc-art"))
            ok &= WriteDiscArt(art, args[i + 1]);
        else if (args[i] == QStringLiteral("--contact-sheet"))
            ok &= WriteContactSheet(art, args[i + 1]);
        else
            ok &= WriteIconPng(art, args[i + 1]);
    }
    return ok ? 0 : 1;
}
