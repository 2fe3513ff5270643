#include "Pictures.h"

#include "Oblique.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace Pictures {

using namespace Paint;

namespace {

const QRect PagePlace(35, 97, 486, 251);
const QRect QuitPlace(545, 276, 39, 55);
const QRect LogoPlace(268, 361, 107, 108);
const QRect LabelPlace(523, 135, 84, 50);

// The band along the bottom of the pages that holds the bullets; flat so that the lit bullet
// pictures fit every place they are shown.
const QRect BulletBand(8, 197, 470, 32);
const QColor BandFace(220, 229, 245);

void ButtonPanel(QPainter &p, const QRect &strip, const QRect &picture, const QString &caption, const QImage &frame)
{
    const QRect outer(picture.left() - 8, strip.top() - 6, picture.width() + 16, picture.bottom() - strip.top() + 15);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(outer).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    p.fillPath(shape.translated(2, 2), QColor(30, 50, 100, 70));
    QLinearGradient face(outer.topLeft(), outer.bottomLeft());
    face.setColorAt(0, QColor(250, 252, 255));
    face.setColorAt(0.18, QColor(226, 233, 246));
    face.setColorAt(1, QColor(186, 200, 228));
    p.fillPath(shape, face);
    p.setPen(QColor(96, 114, 160));
    p.drawPath(shape);
    p.restore();
    // Sunken well for the picture.
    p.fillRect(picture.adjusted(-2, -2, 2, 2), QColor(255, 255, 255));
    p.fillRect(picture.adjusted(-2, -2, 1, 1), QColor(112, 130, 172));
    p.fillRect(picture.adjusted(-1, -1, 1, 1), QColor(40, 60, 110));
    // The strip's last row lies under the picture's first, as the button lies over the strip.
    CaptionStrip(p, strip, caption);
    p.drawImage(picture.topLeft(), frame);
}

void QuitGlyph(QPainter &p, const QPointF &centre, double r, const QColor &ring, const QColor &ringDark)
{
    QRadialGradient g(centre + QPointF(-r * 0.35, -r * 0.4), r * 1.2);
    g.setColorAt(0, ring.lighter(160));
    g.setColorAt(0.6, ring);
    g.setColorAt(1, ringDark);
    p.setPen(QPen(ringDark.darker(150), 1));
    p.setBrush(g);
    p.drawEllipse(centre, r, r);
    p.setPen(QPen(Qt::white, r * 0.3, Qt::SolidLine, Qt::RoundCap));
    const double k = r * 0.42;
    p.drawLine(centre + QPointF(-k, -k), centre + QPointF(k, k));
    p.drawLine(centre + QPointF(-k, k), centre + QPointF(k, -k));
    QPainterPath shine;
    shine.addEllipse(QRectF(centre.x() - r * 0.65, centre.y() - r * 0.85, r * 1.3, r * 0.8));
    p.fillPath(shine, QColor(255, 255, 255, 60));
}

void Cubes(QPainter &p, const QPointF &origin, double s)
{
    const Oblique o(origin);
    const QColor red(218, 44, 40), blue(44, 96, 214), green(38, 164, 74), yellow(246, 194, 30);
    o.Block(p, 0, 0, 0, s, s, s, red);
    o.Block(p, s + 1, 0, 0, s, s, s, blue);
    o.Block(p, 2 * s + 2, 0, 0, s, s, s, green);
    o.Block(p, s + 1, s, 0, s, s, s, yellow);
}

void Logo(QPainter &p, const Scheme &scheme)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = QRectF(LogoPlace).center();
    const double r = 50;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawEllipse(c + QPointF(3, 4), r, r);
    QConicalGradient gold(c, 135);
    gold.setColorAt(0, QColor(255, 236, 160));
    gold.setColorAt(0.25, QColor(200, 140, 30));
    gold.setColorAt(0.5, QColor(255, 224, 120));
    gold.setColorAt(0.75, QColor(170, 110, 20));
    gold.setColorAt(1, QColor(255, 236, 160));
    p.setBrush(gold);
    p.setPen(QPen(QColor(90, 60, 0), 1));
    p.drawEllipse(c, r, r);
    QRadialGradient inner(c + QPointF(-14, -18), r);
    inner.setColorAt(0, scheme.bright);
    inner.setColorAt(0.5, scheme.main);
    inner.setColorAt(1, scheme.deep);
    p.setBrush(inner);
    p.setPen(QPen(QColor(90, 60, 0), 1));
    p.drawEllipse(c, r - 6, r - 6);
    Cubes(p, c + QPointF(-34, 8), 20);
    // Banner across the lower part.
    const QRectF banner(c.x() - 53, c.y() + 14, 106, 20);
    QPainterPath ribbon;
    ribbon.addRoundedRect(banner, 3, 3);
    QLinearGradient rg(banner.topLeft(), banner.bottomLeft());
    rg.setColorAt(0, QColor(238, 60, 50));
    rg.setColorAt(1, QColor(150, 10, 20));
    p.fillPath(ribbon, rg);
    p.setPen(QPen(QColor(90, 0, 0), 1));
    p.drawPath(ribbon);
    p.setFont(Sans(12, true));
    ShadowText(p, banner.toRect(), Qt::AlignCenter, QStringLiteral("BRINDLEMOOR"), Qt::white, QColor(60, 0, 0));
    p.restore();
}

void Disc(QPainter &p, const QPointF &c, double r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(c + QPointF(3, 4), r, r);
    QConicalGradient sheen(c, 20);
    sheen.setColorAt(0, QColor(232, 236, 246));
    sheen.setColorAt(0.12, QColor(250, 214, 150));
    sheen.setColorAt(0.22, QColor(170, 226, 250));
    sheen.setColorAt(0.35, QColor(214, 220, 236));
    sheen.setColorAt(0.5, QColor(236, 240, 250));
    sheen.setColorAt(0.62, QColor(236, 180, 236));
    sheen.setColorAt(0.72, QColor(170, 240, 190));
    sheen.setColorAt(0.85, QColor(200, 208, 228));
    sheen.setColorAt(1, QColor(232, 236, 246));
    p.setBrush(sheen);
    p.setPen(QPen(QColor(110, 120, 150), 1));
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawEllipse(c, r * 0.72, r * 0.72);
    p.setBrush(QColor(200, 206, 222));
    p.setPen(QPen(QColor(120, 128, 150), 1));
    p.drawEllipse(c, r * 0.3, r * 0.3);
    p.setBrush(QColor(30, 34, 50));
    p.drawEllipse(c, r * 0.12, r * 0.12);
    p.restore();
}

} // namespace

QImage MainScreen(const QImage &sampleware, const QImage &order, const QImage &extraFiles, const QImage &toolbox)
{
    QImage image(486, 251, QImage::Format_RGB32);
    QPainter p(&image);
    PageGround(p, image.rect());
    ButtonPanel(p, QRect(19, 14, 165, 19), QRect(19, 32, 214, 81), QStringLiteral("Sampleware"), sampleware);
    ButtonPanel(p, QRect(253, 14, 165, 19), QRect(253, 32, 214, 81), QStringLiteral("Order Form"), order);
    ButtonPanel(p, QRect(19, 132, 165, 19), QRect(19, 150, 214, 81), QStringLiteral("Extra Files"), extraFiles);
    ButtonPanel(p, QRect(254, 132, 165, 19), QRect(253, 150, 214, 81), QStringLiteral("Toolbox"), toolbox);
    return image;
}

QImage Quit(bool lit)
{
    QImage image(QuitPlace.size(), QImage::Format_RGB32);
    QPainter p(&image);
    const QRect r = image.rect();
    Gradient(p, r, QColor(226, 232, 244), QColor(226, 232, 244));
    Bevel(p, r, 1, true, QColor(255, 255, 255), QColor(120, 134, 170));
    p.setRenderHint(QPainter::Antialiasing, true);
    if (lit)
        QuitGlyph(p, QPointF(19.5, 19.5), 15, QColor(226, 30, 30), QColor(130, 0, 0));
    else
        QuitGlyph(p, QPointF(19.5, 19.5), 15, QColor(130, 144, 178), QColor(64, 76, 112));
    p.setFont(Sans(13, true));
    p.setPen(lit ? QColor(190, 0, 0) : QColor(60, 72, 108));
    p.drawText(QRect(0, 36, 39, 17), Qt::AlignCenter, QStringLiteral("Quit"));
    return image;
}

QImage Backdrop(const Scheme &scheme, const QImage &mainScreen, const QImage &quit)
{
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Body: a deep diagonal gradient with soft lights.
    QLinearGradient body(0, 0, 260, 560);
    body.setColorAt(0, scheme.main.lighter(115));
    body.setColorAt(0.55, scheme.main);
    body.setColorAt(1, scheme.deep);
    p.fillRect(image.rect(), body);
    const struct
    {
        double x, y, r;
        int alpha;
    } lights[] = {{600, 40, 170, 60}, {80, 470, 200, 50}, {470, 420, 120, 40}, {20, 60, 90, 40}};
    for (const auto &l : lights) {
        QRadialGradient g(l.x, l.y, l.r);
        g.setColorAt(0, QColor(scheme.bright.red(), scheme.bright.green(), scheme.bright.blue(), l.alpha));
        g.setColorAt(1, QColor(scheme.bright.red(), scheme.bright.green(), scheme.bright.blue(), 0));
        p.fillRect(image.rect(), g);
    }
    // Fine diagonal texture.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(255, 255, 255, 14));
    for (int d = -480; d < 640; d += 4)
        p.drawLine(d, 480, d + 480, 0);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Title band.
    QLinearGradient band(0, 0, 0, 84);
    band.setColorAt(0, scheme.deep);
    band.setColorAt(1, QColor(scheme.deep.red(), scheme.deep.green(), scheme.deep.blue(), 120));
    p.fillRect(QRect(0, 0, 640, 84), band);
    QLinearGradient rule(0, 0, 640, 0);
    rule.setColorAt(0, QColor(255, 214, 100, 0));
    rule.setColorAt(0.2, QColor(255, 214, 100));
    rule.setColorAt(0.8, QColor(255, 214, 100));
    rule.setColorAt(1, QColor(255, 214, 100, 0));
    p.fillRect(QRect(0, 82, 640, 2), rule);
    p.fillRect(QRect(0, 84, 640, 1), QColor(0, 0, 0, 90));
    Cubes(p, QPointF(34, 66), 14);
    p.setFont(Serif(46, true, true));
    ShadowText(p, QRect(94, 10, 400, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Brindlemoor"), Qt::white,
               QColor(0, 0, 0, 150), 2);
    p.setFont(Sans(12, true));
    p.setPen(scheme.bright.lighter(130));
    p.drawText(QRect(360, 22, 250, 20), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("THE HOME-COMPUTING SERIES"));
    p.setFont(Sans(12, false, true));
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(QRect(360, 42, 250, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Software, guides and extras on CD-ROM"));
    // The page panel's frame.
    const QRect frame = PagePlace.adjusted(-7, -7, 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(QRectF(frame).translated(4, 5), 9, 9);
    QLinearGradient metal(frame.topLeft(), frame.bottomLeft());
    metal.setColorAt(0, QColor(246, 248, 252));
    metal.setColorAt(0.5, QColor(176, 188, 212));
    metal.setColorAt(1, QColor(120, 134, 166));
    p.setBrush(metal);
    p.setPen(QPen(scheme.deep, 1));
    p.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(PagePlace.adjusted(-2, -2, 2, 2), QColor(60, 74, 110));
    p.fillRect(PagePlace.adjusted(-1, -1, 1, 1), QColor(255, 255, 255));
    p.drawImage(PagePlace.topLeft(), mainScreen);
    p.setRenderHint(QPainter::Antialiasing, true);
    // The disc emblem: a disc tucked under a label plate.
    Disc(p, QPointF(567, 214), 44);
    const QRectF plate = QRectF(LabelPlace).adjusted(-4, -5, 4, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(plate.translated(2, 3), 6, 6);
    p.setBrush(scheme.label);
    p.setPen(QPen(scheme.deep.darker(150), 1));
    p.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.drawLine(plate.topLeft() + QPointF(6, 1.5), plate.topRight() + QPointF(-6, 1.5));
    // A faint maker's line along the plate's foot, below where the disc's name is written.
    p.setPen(QPen(QColor(scheme.labelInk.red(), scheme.labelInk.green(), scheme.labelInk.blue(), 60), 1));
    p.drawLine(QPointF(plate.left() + 10, 174.5), QPointF(plate.right() - 10, 174.5));
    p.setFont(Sans(8, true));
    p.setPen(QColor(scheme.labelInk.red(), scheme.labelInk.green(), scheme.labelInk.blue(), 110));
    p.drawText(QRectF(plate.left(), 175, plate.width(), 11), Qt::AlignCenter, QStringLiteral("BRINDLEMOOR"));
    p.setFont(Sans(10, true));
    p.setPen(scheme.bright.lighter(140));
    p.drawText(QRect(516, 112, 100, 16), Qt::AlignCenter, QStringLiteral("THIS DISC"));
    // The Quit emblem on its plate.
    const QRectF quitPlate = QRectF(QuitPlace).adjusted(-5, -5, 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(quitPlate.translated(2, 3), 6, 6);
    p.setBrush(QColor(244, 247, 252));
    p.setPen(QPen(scheme.deep.darker(150), 1));
    p.drawRoundedRect(quitPlate.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawImage(QuitPlace.topLeft(), quit);
    p.setRenderHint(QPainter::Antialiasing, true);
    // The logo and the closing lines.
    Logo(p, scheme);
    p.setFont(Serif(20, true, true));
    ShadowText(p, QRect(36, 372, 220, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Learn. Create. Enjoy."),
               Qt::white, QColor(0, 0, 0, 150));
    p.setFont(Sans(12));
    p.setPen(QColor(255, 255, 255, 215));
    p.drawText(QRect(36, 402, 225, 54), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Point at a button to bring it to life, then click to open it."));
    p.setFont(Sans(11, false, true));
    p.setPen(scheme.bright.lighter(130));
    p.drawText(QRect(392, 408, 220, 40), Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap,
               QStringLiteral("Click the Brindlemoor badge to see who made this disc."));
    return image;
}

namespace {

void Bar(QPainter &p, const QRect &band = BulletBand)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(band, BandFace);
    p.fillRect(QRect(band.left(), band.top(), band.width(), 1), QColor(150, 166, 204));
    p.fillRect(QRect(band.left(), band.top() + 1, band.width(), 1), Qt::white);
    p.fillRect(QRect(band.left(), band.bottom(), band.width(), 1), QColor(150, 166, 204));
    p.fillRect(QRect(band.left(), band.top(), 1, band.height()), QColor(150, 166, 204));
    p.fillRect(QRect(band.right(), band.top(), 1, band.height()), QColor(150, 166, 204));
    p.restore();
}

void BulletCaption(QPainter &p, const QPoint &bullet, const QString &text, bool lit)
{
    Bullet(p, bullet, lit);
    p.save();
    p.setFont(Sans(13, true));
    p.setPen(Ink);
    p.drawText(QRect(bullet.x() + 27, bullet.y() + 1, 130, 21), Qt::AlignLeft | Qt::AlignVCenter, text);
    p.restore();
}

} // namespace

QImage SamplewarePage(bool lit)
{
    QImage image(486, 251, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    PageGround(p, image.rect());
    PageTab(p, QStringLiteral("Sampleware"));
    WhiteFrame(p, QRect(28, 42, 214, 180));
    WhiteFrame(p, QRect(254, 41, 204, 79));
    // The install button: a flat round plate with the arrow.
    p.setPen(QPen(QColor(96, 114, 160), 1));
    p.setBrush(QColor(236, 241, 250));
    p.drawEllipse(QPointF(275.5, 153.5), 21, 21);
    InstallArrow(p, QPoint(264, 141), lit);
    p.setFont(Sans(13, true));
    p.setPen(Ink);
    p.drawText(QRect(304, 134, 160, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Install"));
    p.setFont(Sans(11));
    p.setPen(QColor(60, 74, 110));
    p.drawText(QRect(304, 152, 160, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Put this program on your PC"));
    // The sample picture reaches down beside the band, which holds only the way back.
    Bar(p, QRect(252, BulletBand.top(), BulletBand.right() - 251, BulletBand.height()));
    BulletCaption(p, QPoint(336, 202), QStringLiteral("Main Menu"), lit);
    return image;
}

QImage ExtraFilesPage(bool lit)
{
    QImage image(486, 251, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    PageGround(p, image.rect());
    PageTab(p, QStringLiteral("Extra Files"));
    WhiteFrame(p, QRect(28, 41, 214, 133));
    WhiteFrame(p, QRect(254, 41, 205, 133));
    p.setFont(Sans(11, true));
    p.setPen(QColor(60, 74, 110));
    p.drawText(QRect(254, 176, 205, 18), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Double-click a file to use it"));
    Bar(p);
    BulletCaption(p, QPoint(29, 202), QStringLiteral("Extra file help"), lit);
    BulletCaption(p, QPoint(336, 202), QStringLiteral("Main Menu"), lit);
    return image;
}

namespace {

void Badge(QPainter &p, const QRect &place, const QColor &colour)
{
    const QPointF c = QRectF(place).center();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 40, 90, 70));
    p.drawEllipse(c + QPointF(2, 2), 21, 21);
    QRadialGradient g(c + QPointF(-7, -8), 28);
    g.setColorAt(0, colour.lighter(170));
    g.setColorAt(0.55, colour);
    g.setColorAt(1, colour.darker(170));
    p.setBrush(g);
    p.setPen(QPen(colour.darker(250), 1));
    p.drawEllipse(c, 21, 21);
}

void ArchiveEmblem(QPainter &p, const QRect &place)
{
    Badge(p, place, QColor(226, 170, 40));
    const QPointF c = QRectF(place).center();
    // A filing box squeezed by a clamp.
    QRectF box(c.x() - 10, c.y() - 9, 20, 20);
    p.setPen(QPen(QColor(70, 40, 0), 1));
    p.setBrush(QColor(250, 244, 220));
    p.drawRect(box);
    p.setPen(QPen(QColor(70, 40, 0), 1.4));
    for (int i = 0; i < 6; ++i)
        p.drawLine(QPointF(c.x() - 2, box.top() + 2 + 3 * i), QPointF(c.x() + 2, box.top() + 3.5 + 3 * i));
    p.setBrush(QColor(60, 70, 90));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(c.x() - 14, c.y() - 13, 28, 4));
    p.drawRect(QRectF(c.x() - 14, c.y() + 11, 28, 4));
}

void DocumentEmblem(QPainter &p, const QRect &place)
{
    Badge(p, place, QColor(206, 30, 34));
    const QPointF c = QRectF(place).center();
    QPainterPath page;
    page.moveTo(c + QPointF(-10, -14));
    page.lineTo(c + QPointF(5, -14));
    page.lineTo(c + QPointF(11, -8));
    page.lineTo(c + QPointF(11, 14));
    page.lineTo(c + QPointF(-10, 14));
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 0, 0), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(220, 220, 230));
    p.drawPolygon(QPolygonF({c + QPointF(5, -14), c + QPointF(5, -8), c + QPointF(11, -8)}));
    p.setPen(QPen(QColor(206, 30, 34), 2.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath curl;
    curl.moveTo(c + QPointF(-6, 9));
    curl.cubicTo(c + QPointF(-2, -12), c + QPointF(4, -4), c + QPointF(0, 2));
    curl.cubicTo(c + QPointF(-3, 7), c + QPointF(6, 10), c + QPointF(8, 5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curl);
}

void AnimationEmblem(QPainter &p, const QRect &place)
{
    Badge(p, place, QColor(40, 44, 60));
    const QPointF c = QRectF(place).center();
    // A strip of film with a lightning flash across it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 206, 220));
    p.drawRect(QRectF(c.x() - 13, c.y() - 8, 26, 16));
    p.setBrush(QColor(40, 44, 60));
    for (int i = 0; i < 5; ++i) {
        p.drawRect(QRectF(c.x() - 12 + 5.2 * i, c.y() - 7, 2.6, 2.4));
        p.drawRect(QRectF(c.x() - 12 + 5.2 * i, c.y() + 4.6, 2.6, 2.4));
    }
    QPolygonF bolt({c + QPointF(3, -17), c + QPointF(-8, 2), c + QPointF(-1, 2), c + QPointF(-5, 17),
                    c + QPointF(9, -4), c + QPointF(2, -4), c + QPointF(7, -17)});
    p.setPen(QPen(QColor(120, 40, 0), 1));
    QLinearGradient g(c + QPointF(0, -17), c + QPointF(0, 17));
    g.setColorAt(0, QColor(255, 240, 120));
    g.setColorAt(1, QColor(240, 120, 20));
    p.setBrush(g);
    p.drawPolygon(bolt);
}

void StreamingEmblem(QPainter &p, const QRect &place)
{
    Badge(p, place, QColor(34, 84, 196));
    const QPointF c = QRectF(place).center() + QPointF(-4, 0);
    p.setPen(QPen(QColor(10, 30, 90), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({c + QPointF(-7, -9), c + QPointF(7, 0), c + QPointF(-7, 9)}));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 2; ++i) {
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        const double r = 11 + 5 * i;
        p.drawArc(QRectF(c.x() - r + 4, c.y() - r, 2 * r, 2 * r), -40 * 16, 80 * 16);
    }
}

} // namespace

QImage ToolboxPage()
{
    QImage image(486, 251, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    PageGround(p, image.rect());
    PageTab(p, QStringLiteral("Toolbox"));
    // Each tool sits on a light card that joins its emblem to its text.
    const QRect cards[4] = {{28, 36, 221, 55}, {28, 92, 221, 55}, {246, 35, 219, 56}, {246, 91, 219, 56}};
    for (const QRect &card : cards) {
        QPainterPath shape;
        shape.addRoundedRect(QRectF(card).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        p.fillPath(shape, QColor(255, 255, 255, 90));
        p.setPen(QColor(150, 166, 204));
        p.drawPath(shape);
    }
    ArchiveEmblem(p, QRect(35, 41, 46, 45));
    AnimationEmblem(p, QRect(35, 97, 46, 45));
    DocumentEmblem(p, QRect(253, 41, 46, 45));
    StreamingEmblem(p, QRect(253, 97, 46, 45));
    WhiteFrame(p, QRect(92, 41, 150, 45));
    WhiteFrame(p, QRect(92, 97, 150, 45));
    WhiteFrame(p, QRect(308, 40, 150, 46));
    WhiteFrame(p, QRect(308, 96, 150, 46));
    p.setFont(Sans(11, true));
    p.setPen(QColor(60, 74, 110));
    p.drawText(QRect(28, 152, 430, 18), Qt::AlignCenter,
               QStringLiteral("Click a picture to install that program from the disc"));
    Bar(p);
    BulletCaption(p, QPoint(336, 202), QStringLiteral("Main Menu"), false);
    return image;
}

QImage SamplePlaceholder()
{
    QImage image(214, 180, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    Gradient(p, image.rect(), QColor(70, 90, 140), QColor(24, 34, 70));
    const QPointF c(107, 78);
    // A monitor outline.
    p.setPen(QPen(QColor(190, 204, 236), 2));
    p.setBrush(QColor(40, 56, 100));
    p.drawRoundedRect(QRectF(c.x() - 40, c.y() - 30, 80, 56), 5, 5);
    p.drawLine(c + QPointF(-14, 34), c + QPointF(14, 34));
    p.drawLine(c + QPointF(0, 26), c + QPointF(0, 34));
    Cubes(p, c + QPointF(-26, 14), 16);
    p.setFont(Sans(12, true));
    p.setPen(QColor(220, 228, 248));
    p.drawText(QRect(0, 124, 214, 20), Qt::AlignCenter, QStringLiteral("Sampleware"));
    p.setFont(Sans(11));
    p.setPen(QColor(170, 184, 220));
    p.drawText(QRect(0, 142, 214, 20), Qt::AlignCenter, QStringLiteral("A look at this disc's program"));
    return image;
}

QImage SampleScreenshot()
{
    QImage image(214, 180, QImage::Format_RGB32);
    QPainter p(&image);
    // A small photo editor at work: title bar, menu, tool bar, tool palette, picture, status bar.
    p.fillRect(image.rect(), QColor(212, 208, 200));
    QLinearGradient title(0, 0, 214, 0);
    title.setColorAt(0, QColor(10, 36, 106));
    title.setColorAt(1, QColor(166, 202, 240));
    p.fillRect(QRect(2, 2, 210, 14), title);
    p.setFont(Sans(10, true));
    p.setPen(Qt::white);
    p.drawText(QRect(18, 2, 150, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("PhotoPal - Harbour.jpg"));
    p.fillRect(QRect(5, 4, 10, 10), QColor(240, 200, 60));
    for (int i = 0; i < 3; ++i) {
        const QRect b(170 + 13 * i, 4, 11, 10);
        p.fillRect(b, QColor(212, 208, 200));
        Bevel(p, b, 1, true, Qt::white, QColor(64, 64, 64));
    }
    p.setPen(Qt::black);
    p.drawLine(196, 6, 202, 12);
    p.drawLine(202, 6, 196, 12);
    p.setFont(Sans(10));
    p.setPen(Qt::black);
    const char *menus[] = {"File", "Edit", "View", "Image", "Effects", "Help"};
    int x = 6;
    for (const char *menu : menus) {
        const QString text = QString::fromLatin1(menu);
        p.drawText(QRect(x, 17, 40, 13), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += QFontMetrics(p.font()).horizontalAdvance(text) + 9;
    }
    Bevel(p, QRect(2, 31, 210, 17), 1, true, Qt::white, QColor(128, 128, 128));
    const QColor toolColours[] = {QColor(250, 230, 140), QColor(120, 160, 230), QColor(230, 90, 80),
                                  QColor(120, 200, 120), QColor(200, 140, 220), QColor(240, 170, 80)};
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int i = 0; i < 6; ++i) {
        const QRectF icon(6 + 16 * i + (i > 2 ? 6 : 0), 34, 11, 11);
        p.setPen(QColor(60, 60, 60));
        p.setBrush(toolColours[i]);
        if (i % 2)
            p.drawEllipse(icon);
        else
            p.drawRoundedRect(icon, 2, 2);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    // Tool palette.
    Bevel(p, QRect(2, 50, 22, 114), 1, true, Qt::white, QColor(128, 128, 128));
    for (int i = 0; i < 6; ++i) {
        const QRect b(5, 53 + 18 * i, 16, 16);
        Bevel(p, b, 1, i != 2, Qt::white, QColor(96, 96, 96));
        p.fillRect(b.adjusted(4, 4, -4, -4), i == 2 ? QColor(200, 40, 40) : QColor(60, 60, 90));
    }
    // The picture being edited: a harbour at sunset.
    const QRect photo(27, 50, 185, 114);
    Bevel(p, photo.adjusted(-1, -1, 1, 1), 1, false, Qt::white, QColor(96, 96, 96));
    p.setClipRect(photo);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sky(photo.topLeft(), photo.bottomLeft());
    sky.setColorAt(0, QColor(40, 60, 140));
    sky.setColorAt(0.45, QColor(240, 140, 90));
    sky.setColorAt(0.62, QColor(255, 214, 130));
    p.fillRect(photo, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 170));
    p.drawEllipse(QPointF(150, 112), 14, 14);
    QPainterPath hills;
    hills.moveTo(27, 120);
    hills.cubicTo(60, 96, 90, 108, 120, 114);
    hills.cubicTo(150, 120, 180, 100, 212, 112);
    hills.lineTo(212, 164);
    hills.lineTo(27, 164);
    p.fillPath(hills, QColor(60, 50, 90));
    QLinearGradient sea(0, 124, 0, 164);
    sea.setColorAt(0, QColor(230, 150, 110));
    sea.setColorAt(1, QColor(30, 50, 100));
    p.fillRect(QRect(27, 124, 185, 40), sea);
    p.setPen(QPen(QColor(255, 226, 160, 160), 1));
    for (int i = 0; i < 6; ++i)
        p.drawLine(QPointF(136 - 2 * i, 128 + 5 * i), QPointF(164 + 2 * i, 128 + 5 * i));
    // A boat.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 24, 40));
    p.drawPolygon(QPolygonF({{70, 140}, {104, 140}, {98, 147}, {76, 147}}));
    p.drawRect(QRectF(86, 116, 1.5, 24));
    p.setBrush(QColor(240, 236, 226));
    p.drawPolygon(QPolygonF({{88, 117}, {88, 138}, {102, 138}}));
    // Selection marquee.
    p.setPen(QPen(Qt::white, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(128.5, 94.5, 46, 38));
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Status bar.
    Bevel(p, QRect(2, 166, 150, 12), 1, false, Qt::white, QColor(128, 128, 128));
    Bevel(p, QRect(154, 166, 58, 12), 1, false, Qt::white, QColor(128, 128, 128));
    p.setFont(Sans(9));
    p.setPen(Qt::black);
    p.drawText(QRect(6, 166, 144, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Ready"));
    p.drawText(QRect(156, 166, 54, 12), Qt::AlignCenter, QStringLiteral("640 x 400"));
    Bevel(p, image.rect(), 1, true, Qt::white, QColor(64, 64, 64));
    return image;
}

QImage Credits()
{
    QImage image(462, 439, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const Scheme s = Blue();
    Gradient(p, image.rect(), QColor(244, 246, 252), QColor(206, 216, 238));
    // Masthead.
    QLinearGradient head(0, 0, 462, 90);
    head.setColorAt(0, s.deep);
    head.setColorAt(1, s.main);
    p.fillRect(QRect(0, 0, 462, 78), head);
    QRadialGradient glow(400, 10, 160);
    glow.setColorAt(0, QColor(160, 200, 255, 110));
    glow.setColorAt(1, QColor(160, 200, 255, 0));
    p.fillRect(QRect(0, 0, 462, 78), glow);
    p.fillRect(QRect(0, 76, 462, 3), Accent);
    Cubes(p, QPointF(18, 62), 13);
    p.setFont(Serif(40, true, true));
    ShadowText(p, QRect(72, 4, 300, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Brindlemoor"), Qt::white,
               QColor(0, 0, 0, 150), 2);
    p.setFont(Sans(12, true));
    p.setPen(QColor(200, 220, 255));
    p.drawText(QRect(74, 52, 380, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("THE HOME-COMPUTING SERIES  \u2022  EVERY ISSUE WITH A CD-ROM"));
    // Illustration: a home computer showing the menu.
    const QRectF monitor(18, 96, 190, 140);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(monitor.translated(4, 5), 10, 10);
    QLinearGradient case_(monitor.topLeft(), monitor.bottomLeft());
    case_.setColorAt(0, QColor(246, 244, 236));
    case_.setColorAt(1, QColor(196, 192, 180));
    p.setBrush(case_);
    p.setPen(QPen(QColor(120, 116, 104), 1));
    p.drawRoundedRect(monitor, 10, 10);
    const QRectF screen = monitor.adjusted(14, 12, -14, -26);
    QLinearGradient glass(screen.topLeft(), screen.bottomRight());
    glass.setColorAt(0, s.main.lighter(130));
    glass.setColorAt(1, s.deep);
    p.setBrush(glass);
    p.setPen(QPen(QColor(60, 60, 70), 2));
    p.drawRoundedRect(screen, 4, 4);
    for (int i = 0; i < 4; ++i) {
        const QRectF tile(screen.left() + 10 + (i % 2) * 75, screen.top() + 12 + (i / 2) * 40, 62, 30);
        p.setBrush(QColor(214, 226, 248));
        p.setPen(QPen(QColor(30, 50, 110), 1));
        p.drawRoundedRect(tile, 3, 3);
        p.setBrush(CaptionTop);
        p.setPen(Qt::NoPen);
        p.drawRect(tile.adjusted(0, 0, -20, -23));
    }
    p.setBrush(QColor(150, 146, 134));
    p.drawRect(QRectF(monitor.center().x() - 26, monitor.bottom() + 1, 52, 8));
    p.setBrush(QColor(226, 222, 210));
    p.setPen(QPen(QColor(120, 116, 104), 1));
    p.drawRoundedRect(QRectF(monitor.left() + 10, monitor.bottom() + 9, monitor.width() - 20, 14), 4, 4);
    p.setPen(QColor(90, 100, 120));
    p.setFont(Sans(9, true));
    p.drawText(QRectF(monitor.left(), monitor.bottom() - 24, monitor.width(), 20), Qt::AlignCenter,
               QStringLiteral("BRINDLEMOOR PC"));
    Disc(p, QPointF(196, 236), 34);
    // Copy.
    p.setFont(Serif(21, true));
    p.setPen(s.deep);
    p.drawText(QRect(236, 94, 220, 56), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Get more from\nyour computer"));
    p.setFont(Sans(12));
    p.setPen(QColor(40, 50, 80));
    const QString points[] = {QStringLiteral("Step-by-step guides"), QStringLiteral("Programs to try and keep"),
                              QStringLiteral("Templates for home and work"),
                              QStringLiteral("Tools to keep your PC well")};
    for (int i = 0; i < 4; ++i) {
        const int y = 152 + 23 * i;
        p.setBrush(Accent);
        p.setPen(QPen(QColor(120, 70, 0), 0.8));
        p.drawEllipse(QPointF(243, y + 8), 4, 4);
        p.setPen(QColor(40, 50, 80));
        p.drawText(QRect(253, y, 205, 20), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, points[i]);
    }
    // Ribbon of part covers.
    const QColor covers[] = {QColor(44, 96, 214), QColor(218, 44, 40), QColor(120, 60, 170), QColor(38, 164, 74),
                             QColor(230, 150, 30)};
    for (int i = 0; i < 5; ++i) {
        const QRectF cover(244 + 41 * i, 252, 34, 44);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 50));
        p.drawRect(cover.translated(2, 2));
        QLinearGradient cg(cover.topLeft(), cover.bottomLeft());
        cg.setColorAt(0, covers[i].lighter(130));
        cg.setColorAt(1, covers[i].darker(120));
        p.setBrush(cg);
        p.setPen(QPen(covers[i].darker(200), 1));
        p.drawRect(cover);
        p.fillRect(cover.adjusted(3, 3, -3, -35), Qt::white);
        p.setPen(Qt::white);
        p.setFont(Sans(13, true));
        p.drawText(cover.adjusted(0, 12, 0, 0), Qt::AlignHCenter | Qt::AlignTop, QString::number(i + 1));
    }
    // The collector's corner, left of the credits box.
    p.setFont(Serif(17, true, true));
    p.setPen(s.deep);
    p.drawText(QRect(14, 310, 132, 44), Qt::AlignLeft | Qt::TextWordWrap, QStringLiteral("Collect\nevery disc"));
    p.setFont(Sans(11));
    p.setPen(QColor(50, 60, 90));
    p.drawText(QRect(14, 356, 134, 72), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Each part brings new guides, programs and extras for you to keep."));
    // The framed box in which the credits scroll.
    const QRect box(155, 314, 299, 120);
    p.setFont(Sans(11, true));
    p.setPen(s.main);
    p.drawText(QRect(box.left(), 296, box.width(), 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("ABOUT THIS DISC"));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(box.adjusted(-4, -4, 4, 4).translated(2, 2), QColor(30, 50, 100, 60));
    Bevel(p, box.adjusted(-4, -4, 4, 4), 3, true, QColor(250, 252, 255), QColor(110, 126, 168));
    p.fillRect(box.adjusted(-1, -1, 1, 1), QColor(40, 60, 110));
    p.fillRect(box, Qt::white);
    return image;
}

QImage IconPicture()
{
    // Drawn pixel by pixel in the standard colours: three cubes with a fourth on top.
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    struct CubeColours
    {
        QRgb front, top, side;
    };
    // Front and top in the full colour, parted by the black edge; the side in the dark colour.
    const CubeColours red{qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(128, 0, 0)};
    const CubeColours blue{qRgb(0, 0, 255), qRgb(0, 0, 255), qRgb(0, 0, 128)};
    const CubeColours green{qRgb(0, 255, 0), qRgb(0, 255, 0), qRgb(0, 128, 0)};
    const CubeColours yellow{qRgb(255, 255, 0), qRgb(255, 255, 0), qRgb(128, 128, 0)};
    const QRgb edge = qRgb(0, 0, 0);
    // A cube with its front face's top-left corner at (x, y): 9 by 9 front, depth 4 up and right.
    const auto cube = [&](int x, int y, const CubeColours &c) {
        constexpr int s = 9, d = 4;
        for (int j = 0; j <= d; ++j)
            for (int i = 0; i <= s; ++i) {
                const int px = x + i + j, py = y - j;
                image.setPixel(px, py, (j == 0 || j == d || i == 0 || i == s) ? edge : c.top);
            }
        for (int j = 0; j <= s; ++j)
            for (int i = 0; i <= d; ++i) {
                const int px = x + s + i, py = y + j - i;
                image.setPixel(px, py, (i == 0 || i == d || j == 0 || j == s) ? edge : c.side);
            }
        for (int j = 0; j <= s; ++j)
            for (int i = 0; i <= s; ++i)
                image.setPixel(x + i, y + j, (i == 0 || i == s || j == 0 || j == s) ? edge : c.front);
    };
    cube(0, 21, red);
    cube(9, 21, blue);
    cube(18, 21, green);
    cube(9, 12, yellow);
    // A highlight on each front face.
    for (const QPoint &at : {QPoint(1, 22), QPoint(10, 22), QPoint(19, 22), QPoint(10, 13)})
        for (int i = 0; i < 3; ++i)
            image.setPixel(at.x() + i, at.y(), qRgb(255, 255, 255));
    return image;
}

} // namespace Pictures
