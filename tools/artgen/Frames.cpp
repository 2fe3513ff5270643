#include "Frames.h"

#include "Oblique.h"
#include "Paint.h"
#include "toolkit/ImageListStream.h"

#include <QPainterPath>
#include <QtMath>

#include <cmath>

#include <functional>

namespace Frames {

namespace {

const QColor CubeRed(218, 44, 40);
const QColor CubeBlue(44, 96, 214);
const QColor CubeGreen(38, 164, 74);
const QColor CubeYellow(246, 194, 30);

// One frame: the patterned ground, then the scene, reduced to the stored colour depth.
QImage Frame(const std::function<void(QPainter &)> &scene)
{
    QImage frame(Width, Height, QImage::Format_RGB32);
    QPainter p(&frame);
    Paint::PictureGround(p, frame.rect());
    p.setRenderHint(QPainter::Antialiasing, true);
    scene(p);
    p.end();
    for (int y = 0; y < Height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(frame.scanLine(y));
        for (int x = 0; x < Width; ++x)
            line[x] = ImageListStream::Stored555(line[x]);
    }
    return frame;
}

void Glint(QPainter &p, const QPointF &at, double size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath star;
    star.moveTo(at + QPointF(0, -size));
    star.quadTo(at, at + QPointF(size, 0));
    star.quadTo(at, at + QPointF(0, size));
    star.quadTo(at, at + QPointF(-size, 0));
    star.quadTo(at, at + QPointF(0, -size));
    p.fillPath(star, Qt::white);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawEllipse(at, size * 0.35, size * 0.35);
    p.restore();
}

// ---- Extra files: a stack of four cubes -------------------------------------------------------

constexpr double Cube = 26;
// Marks a cube that is not in the picture.
constexpr double Absent = 1000;

struct StackCube
{
    double x;
    double y;
    QColor colour;
};

const StackCube Stack[4] = {{0, 0, CubeRed}, {27, 0, CubeBlue}, {54, 0, CubeGreen}, {27, 26, CubeYellow}};

// lift[i] raises cube i above its place; a cube lifted out of sight (or not yet there) is absent.
QImage StackFrame(const double (&lift)[4], bool glint)
{
    return Frame([&](QPainter &p) {
        const Oblique o(QPointF(60, 76));
        for (int i = 0; i < 3; ++i)
            if (lift[i] < Absent)
                o.Shadow(p, Stack[i].x, 0, 0, Cube, Cube, lift[i]);
        for (int i = 0; i < 4; ++i)
            if (lift[i] < Absent)
                o.Block(p, Stack[i].x, Stack[i].y + lift[i], 0, Cube, Cube, Cube, Stack[i].colour);
        if (glint)
            Glint(p, o.P(Stack[3].x + Cube, Stack[3].y + Cube, 0) + QPointF(-1, 0), 7);
    });
}

// Height of a cube step frames into a fall of steps frames from height (0 when landed).
double Fall(int step, int steps, double height)
{
    const double u = static_cast<double>(step) / steps;
    return height * (1 - u * u);
}

// ---- Sampleware: the open cube and the small yellow cube --------------------------------------

QImage SampleFrame(double slide)
{
    return Frame([&](QPainter &p) {
        const Oblique o(QPointF(60, 76));
        constexpr double w = 58, h = 52, d = 40;
        const QColor box(56, 102, 204);
        const QColor edge = box.darker(260);
        o.Shadow(p, 0, 0, 0, w, d, 0);
        // The open right side: through it the far wall and the floor inside the box show.
        const QPolygonF opening({o.P(w, 0, 0), o.P(w, 0, d), o.P(w, h, d), o.P(w, h, 0)});
        p.save();
        QPainterPath clip;
        clip.addPolygon(opening);
        p.setClipPath(clip);
        QLinearGradient wall(o.P(w, h, d), o.P(w, 0, d));
        wall.setColorAt(0, QColor(10, 22, 60));
        wall.setColorAt(1, QColor(34, 60, 126));
        o.Face(p, o.P(0, 0, d), o.P(w, 0, d), o.P(w, h, d), o.P(0, h, d), wall, QColor(10, 22, 60));
        QLinearGradient floor(o.P(w, 0, d), o.P(w, 0, 0));
        floor.setColorAt(0, QColor(60, 92, 170));
        floor.setColorAt(1, QColor(120, 150, 216));
        o.Face(p, o.P(0, 0, 0), o.P(w, 0, 0), o.P(w, 0, d), o.P(0, 0, d), floor, QColor(30, 50, 110));
        // Shade under the box's top.
        QLinearGradient shade(o.P(w, h, 0), o.P(w, h - 20, 0));
        shade.setColorAt(0, QColor(0, 0, 20, 150));
        shade.setColorAt(1, QColor(0, 0, 20, 0));
        p.fillRect(opening.boundingRect(), shade);
        p.restore();
        // The rim of the opening behind and around the small cube shows the walls' thickness.
        p.setPen(QPen(box.lighter(140), 3));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({o.P(w, 1.5, 0), o.P(w, 1.5, d - 1.5), o.P(w, h - 1.5, d - 1.5), o.P(w, h - 1.5, 0)}));
        p.setPen(QPen(edge, 1));
        p.drawPolygon(opening);
        // The small cube, sliding along the floor.
        constexpr double s = 20;
        const double x = w + 12 + slide;
        o.Shadow(p, x, 0, (d - s) / 2, s, s, 0);
        o.Block(p, x, 0, (d - s) / 2, s, s, s, CubeYellow);
        // The box's closed faces and the front wall's edge cover whatever has slid inside.
        QLinearGradient top(o.P(0, h, d), o.P(w, h, 0));
        top.setColorAt(0, box.lighter(165));
        top.setColorAt(1, box.lighter(130));
        o.Face(p, o.P(0, h, 0), o.P(w, h, 0), o.P(w, h, d), o.P(0, h, d), top, edge);
        o.Front(p, 0, 0, 0, w, h, box);
        o.Face(p, o.P(w, 0, 0), o.P(w, 0, 3), o.P(w, h, 3), o.P(w, h, 0), box.lighter(140), edge);
        // A compact disc printed on the front.
        const QPointF c = o.P(w / 2, h / 2, 0);
        QConicalGradient sheen(c, 30);
        sheen.setColorAt(0, QColor(236, 240, 250));
        sheen.setColorAt(0.2, QColor(250, 220, 160));
        sheen.setColorAt(0.35, QColor(190, 230, 250));
        sheen.setColorAt(0.55, QColor(236, 240, 250));
        sheen.setColorAt(0.7, QColor(230, 190, 240));
        sheen.setColorAt(0.85, QColor(200, 240, 210));
        sheen.setColorAt(1, QColor(236, 240, 250));
        p.setPen(QPen(QColor(30, 50, 110), 1));
        p.setBrush(sheen);
        p.drawEllipse(c, 17, 17);
        p.setBrush(box);
        p.drawEllipse(c, 4.5, 4.5);
    });
}

// ---- Order: the box with a lid and the rising block -------------------------------------------

QImage OrderFrame(double lidDegrees, double blockBase)
{
    return Frame([&](QPainter &p) {
        const Oblique o(QPointF(54, 76));
        constexpr double w = 88, h = 30, d = 26;
        const QColor box(206, 150, 84);
        const QColor edge = box.darker(260);
        const double a = qDegreesToRadians(lidDegrees);
        const double lidY = h + d * std::sin(a);
        const double lidZ = d - d * std::cos(a);
        const auto lid = [&] {
            const QColor face = lidDegrees > 70 ? box.darker(125) : box.lighter(140);
            o.Face(p, o.P(0, h, d), o.P(w, h, d), o.P(w, lidY, lidZ), o.P(0, lidY, lidZ), face, edge);
            if (lidDegrees <= 70) {
                // Packing tape across the lid.
                o.Face(p, o.P(w / 2 - 6, h, d), o.P(w / 2 + 6, h, d), o.P(w / 2 + 6, lidY, lidZ),
                       o.P(w / 2 - 6, lidY, lidZ), QColor(236, 214, 160), QColor(170, 130, 70));
            }
        };
        o.Shadow(p, 0, 0, 0, w, d, 0);
        if (lidDegrees > 0) {
            QLinearGradient inside(o.P(0, h, d), o.P(0, h, 0));
            inside.setColorAt(0, QColor(70, 40, 14));
            inside.setColorAt(1, QColor(130, 86, 40));
            o.Face(p, o.P(0, h, 0), o.P(w, h, 0), o.P(w, h, d), o.P(0, h, d), inside, edge);
            if (lidDegrees > 90)
                lid();
            o.Block(p, (w - 30) / 2, blockBase, (d - 16) / 2, 30, 22, 16, CubeYellow);
        }
        // Right side, then front.
        QLinearGradient right(o.P(w, h, 0), o.P(w, 0, d));
        right.setColorAt(0, box.darker(125));
        right.setColorAt(1, box.darker(170));
        o.Face(p, o.P(w, 0, 0), o.P(w, 0, d), o.P(w, h, d), o.P(w, h, 0), right, edge);
        o.Front(p, 0, 0, 0, w, h, box);
        // Tape down the front and an address label.
        o.Face(p, o.P(w / 2 - 6, 0, 0), o.P(w / 2 + 6, 0, 0), o.P(w / 2 + 6, h, 0), o.P(w / 2 - 6, h, 0),
               QColor(236, 214, 160), QColor(170, 130, 70));
        o.Face(p, o.P(5, 6, 0), o.P(27, 6, 0), o.P(27, 22, 0), o.P(5, 22, 0), QColor(252, 252, 246),
               QColor(120, 90, 50));
        p.setPen(QPen(QColor(60, 70, 110), 1));
        for (int line = 0; line < 3; ++line)
            p.drawLine(o.P(8, 18 - 4 * line, 0), o.P(24 - 4 * (line % 2), 18 - 4 * line, 0));
        if (lidDegrees <= 90)
            lid();
    });
}

// ---- Toolbox: four blocks on a tray --------------------------------------------------------------

QImage ToolboxFrame(const double (&hop)[4])
{
    return Frame([&](QPainter &p) {
        const Oblique o(QPointF(24, 72));
        constexpr double trayW = 150, trayH = 9, trayD = 30;
        const QColor tray(112, 128, 160);
        o.Shadow(p, 0, 0, 0, trayW, trayD, 0);
        o.Block(p, 0, 0, 0, trayW, trayH, trayD, tray);
        // The tray's recessed floor.
        o.Face(p, o.P(4, trayH, 3), o.P(trayW - 4, trayH, 3), o.P(trayW - 4, trayH, trayD - 3),
               o.P(4, trayH, trayD - 3), tray.darker(118), tray.darker(160));
        const QColor colours[4] = {CubeRed, CubeBlue, CubeGreen, CubeYellow};
        constexpr double s = 24;
        for (int i = 0; i < 4; ++i)
            o.Shadow(p, 10 + 35.5 * i, trayH, 5, s, 20, hop[i]);
        for (int i = 0; i < 4; ++i)
            o.Block(p, 10 + 35.5 * i, trayH + hop[i], 5, s, s, 20, colours[i]);
    });
}

} // namespace

QList<QImage> ExtraFiles()
{
    // Frames 34-38 take the stack apart (top cube first), 0-3 and 39-40 are the empty panel,
    // 4-23 build it cube by cube with a pause at 18-20, 24-32 hold it and 33 catches the light.
    QList<QImage> frames;
    // Each cube falls from just inside the top edge, so that its first frame already shows it.
    const auto place = [](int frame, int start, int land, double height) -> double {
        if (frame < start)
            return Absent;
        if (frame >= land)
            return 0;
        return Fall(frame - start + 1, land - start + 1, height);
    };
    for (int f = 0; f < 41; ++f) {
        double lift[4] = {Absent, Absent, Absent, Absent};
        bool glint = false;
        if (f >= 4 && f <= 33) {
            lift[0] = place(f, 4, 8, 64);
            lift[1] = place(f, 9, 13, 64);
            lift[2] = place(f, 14, 18, 64);
            lift[3] = place(f, 21, 24, 40);
            glint = f == 33;
        } else if (f >= 34 && f <= 38) {
            // The top cube leaves first, then the others from right to left, each over two frames.
            const int order[4] = {3, 2, 1, 0};
            const double rise[2] = {24, 56};
            for (int j = 0; j < 4; ++j) {
                const int step = f - 34 - j;
                lift[order[j]] = step < 0 ? 0 : (step < 2 ? rise[step] : Absent);
            }
        }
        frames.append(StackFrame(lift, glint));
    }
    return frames;
}

QList<QImage> Sampleware()
{
    // Slide positions: 0 rest (0-4, 28), 5-6 on the way in, 7-10 held half in, 11-12 further,
    // 13-18 held at the far point, then the same way back.
    const double at[29] = {0,   0,   0,   0,   0,   -8,  -18, -32, -32, -32, -32, -44, -56, -68, -68,
                           -68, -68, -68, -68, -56, -44, -32, -32, -32, -32, -32, -18, -8,  0};
    QList<QImage> frames;
    for (const double slide : at)
        frames.append(SampleFrame(slide));
    return frames;
}

QList<QImage> Order()
{
    struct Step
    {
        double lid;
        double block;
    };
    // 1-4 open the lid, 5-7 hold it open, 8-10 raise the block, 11-18 hold it up, 19-20 lower it,
    // 21-26 hold the open box again, 27-29 close it, 30-34 rest closed.
    const Step steps[35] = {{0, 4},    {30, 4},   {60, 4},   {88, 4},   {100, 4},  {106, 4},  {106, 4},
                            {106, 4},  {106, 14}, {106, 26}, {106, 34}, {106, 38}, {106, 38}, {106, 38},
                            {106, 38}, {106, 38}, {106, 38}, {106, 38}, {106, 38}, {106, 26}, {106, 14},
                            {106, 4},  {106, 4},  {106, 4},  {106, 4},  {106, 4},  {106, 4},  {88, 4},
                            {60, 4},   {30, 4},   {0, 4},    {0, 4},    {0, 4},    {0, 4},    {0, 4}};
    QList<QImage> frames;
    for (const Step &step : steps)
        frames.append(OrderFrame(step.lid, step.block));
    return frames;
}

QList<QImage> Toolbox()
{
    // Block k hops during frames 6 + 4k to 10 + 4k, springing up fast and settling more slowly,
    // so that no two frames of a hop are alike; frames 0-5 and 23-25 show them all at rest.
    const double height[5] = {11, 23, 27, 19, 7};
    QList<QImage> frames;
    for (int f = 0; f < 26; ++f) {
        double hop[4] = {0, 0, 0, 0};
        for (int k = 0; k < 4; ++k) {
            const int t = f - (6 + 4 * k);
            if (t >= 0 && t <= 4)
                hop[k] = height[t];
        }
        frames.append(ToolboxFrame(hop));
    }
    return frames;
}

} // namespace Frames
