#include "Paint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace Paint {

Scheme Blue()
{
    return {QColor(8, 20, 64), QColor(28, 66, 150), QColor(120, 170, 240), QColor(14, 30, 78), QColor(210, 222, 248)};
}

Scheme Red()
{
    return {QColor(60, 6, 12), QColor(150, 24, 34), QColor(250, 140, 120), QColor(252, 246, 238), QColor(60, 20, 20)};
}

Scheme Purple()
{
    return {QColor(34, 8, 52), QColor(96, 40, 140), QColor(206, 160, 240), QColor(248, 244, 252), QColor(40, 20, 60)};
}

Scheme Green()
{
    return {QColor(4, 40, 24), QColor(20, 110, 64), QColor(150, 230, 160), QColor(244, 250, 244), QColor(20, 50, 30)};
}

QFont Sans(int pixelSize, bool bold, bool italic)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont Serif(int pixelSize, bool bold, bool italic)
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void Gradient(QPainter &p, const QRectF &rect, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(rect, g);
}

void Bevel(QPainter &p, const QRect &rect, int width, bool raised, const QColor &light, const QColor &dark)
{
    const QColor topLeft = raised ? light : dark;
    const QColor bottomRight = raised ? dark : light;
    for (int i = 0; i < width; ++i) {
        const QRect r = rect.adjusted(i, i, -i, -i);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        p.fillRect(QRect(r.left() + 1, r.bottom(), r.width() - 1, 1), bottomRight);
        p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 1), bottomRight);
    }
}

void Panel(QPainter &p, const QRect &rect, const QColor &top, const QColor &bottom)
{
    Gradient(p, rect, top, bottom);
    Bevel(p, rect.adjusted(1, 1, -1, -1), 2, true, top.lighter(125), bottom.darker(140));
    p.save();
    p.setPen(bottom.darker(250));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(0, 0, -1, -1));
    p.restore();
}

void PictureGround(QPainter &p, const QRect &rect)
{
    p.save();
    p.setClipRect(rect);
    Gradient(p, rect, QColor(222, 234, 250), QColor(192, 212, 242));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(255, 255, 255, 70));
    for (int d = -rect.height(); d < rect.width(); d += 6)
        p.drawLine(rect.left() + d, rect.bottom(), rect.left() + d + rect.height(), rect.top());
    p.setPen(QColor(120, 150, 210, 34));
    for (int d = 3 - rect.height(); d < rect.width(); d += 6)
        p.drawLine(rect.left() + d, rect.bottom(), rect.left() + d + rect.height(), rect.top());
    // A soft light from the upper left gives the ground some depth.
    QRadialGradient glow(rect.left() + rect.width() * 0.3, rect.top() + rect.height() * 0.2, rect.width() * 0.7);
    glow.setColorAt(0, QColor(255, 255, 255, 90));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(rect, glow);
    p.restore();
}

void CaptionStrip(QPainter &p, const QRect &rect, const QString &text)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, 4), 5, 5);
    p.setClipRect(rect);
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    g.setColorAt(0, CaptionTop.lighter(120));
    g.setColorAt(0.5, CaptionTop);
    g.setColorAt(1, CaptionBottom);
    p.fillPath(shape, g);
    p.setPen(QColor(8, 18, 52));
    p.drawPath(shape);
    p.setPen(QColor(255, 255, 255, 90));
    p.drawLine(QPointF(rect.left() + 4, rect.top() + 1.5), QPointF(rect.right() - 4, rect.top() + 1.5));
    p.setFont(Sans(12, true));
    ShadowText(p, rect.adjusted(10, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, text, Qt::white, QColor(0, 0, 0, 160));
    // A small bullet on the right marks the strip as something to click.
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    const QPointF tip(rect.right() - 10, rect.center().y() + 0.5);
    p.drawPolygon(QPolygonF({tip + QPointF(-4, -4), tip + QPointF(2, 0), tip + QPointF(-4, 4)}));
    p.restore();
}

void ShadowText(QPainter &p, const QRect &rect, int flags, const QString &text, const QColor &ink, const QColor &shadow,
                int offset)
{
    p.save();
    p.setPen(shadow);
    p.drawText(rect.translated(offset, offset), flags, text);
    p.setPen(ink);
    p.drawText(rect, flags, text);
    p.restore();
}

void WhiteFrame(QPainter &p, const QRect &inner)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect outer = inner.adjusted(-3, -3, 3, 3);
    p.fillRect(outer.translated(2, 2), QColor(40, 60, 110, 60));
    Bevel(p, outer, 2, false, QColor(255, 255, 255), QColor(104, 122, 164));
    p.setPen(QColor(60, 80, 130));
    p.drawRect(inner.adjusted(-1, -1, 0, 0));
    p.fillRect(inner, Qt::white);
    p.restore();
}

void Bullet(QPainter &p, const QPoint &topLeft, bool lit)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c(topLeft.x() + 11, topLeft.y() + 11);
    const QColor ring = lit ? QColor(220, 24, 28) : QColor(112, 130, 170);
    const QColor ringDark = lit ? QColor(120, 0, 8) : QColor(60, 74, 112);
    const QColor disc = lit ? QColor(236, 40, 36) : QColor(150, 166, 200);
    // Ring.
    QRadialGradient rg(c + QPointF(-3, -3), 12);
    rg.setColorAt(0, ring.lighter(150));
    rg.setColorAt(1, ring);
    p.setPen(QPen(ringDark, 1));
    p.setBrush(rg);
    // The ring keeps clear of the box's edge, where the lit picture must match the page.
    p.drawEllipse(c, 9, 9);
    // Gap.
    p.setPen(Qt::NoPen);
    p.setBrush(lit ? QColor(255, 236, 230) : QColor(232, 238, 248));
    p.drawEllipse(c, 6.5, 6.5);
    // Disc with a highlight.
    QRadialGradient dg(c + QPointF(-2, -2), 7);
    dg.setColorAt(0, disc.lighter(170));
    dg.setColorAt(0.5, disc);
    dg.setColorAt(1, ringDark);
    p.setPen(QPen(ringDark, 0.8));
    p.setBrush(dg);
    p.drawEllipse(c, 4.5, 4.5);
    p.restore();
}

void InstallArrow(QPainter &p, const QPoint &topLeft, bool lit)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(topLeft);
    QPolygonF arrow({{7, 1}, {15, 1}, {15, 12}, {21, 12}, {11, 26}, {1, 12}, {7, 12}});
    QLinearGradient g(0, 0, 22, 0);
    if (lit) {
        g.setColorAt(0, QColor(255, 214, 80));
        g.setColorAt(0.5, QColor(244, 120, 20));
        g.setColorAt(1, QColor(200, 30, 20));
    } else {
        g.setColorAt(0, QColor(190, 204, 230));
        g.setColorAt(0.5, QColor(130, 150, 190));
        g.setColorAt(1, QColor(90, 108, 150));
    }
    p.setPen(QPen(lit ? QColor(110, 10, 0) : QColor(50, 62, 100), 1));
    p.setBrush(g);
    p.drawPolygon(arrow);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.drawLine(QPointF(8.5, 2.5), QPointF(8.5, 12));
    p.restore();
}

void PageGround(QPainter &p, const QRect &rect)
{
    Gradient(p, rect, QColor(236, 241, 250), QColor(200, 212, 236));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // Broad soft sweeps, as on a printed cover.
    QPainterPath sweep;
    sweep.moveTo(rect.left(), rect.bottom() - 60);
    sweep.cubicTo(rect.left() + 160, rect.bottom() - 120, rect.left() + 320, rect.bottom() + 10, rect.right() + 1,
                  rect.bottom() - 70);
    sweep.lineTo(rect.right() + 1, rect.bottom() + 1);
    sweep.lineTo(rect.left(), rect.bottom() + 1);
    sweep.closeSubpath();
    p.fillPath(sweep, QColor(150, 174, 222, 60));
    QPainterPath sweep2;
    sweep2.moveTo(rect.left(), rect.bottom() - 30);
    sweep2.cubicTo(rect.left() + 200, rect.bottom() - 70, rect.left() + 300, rect.bottom(), rect.right() + 1,
                   rect.bottom() - 25);
    sweep2.lineTo(rect.right() + 1, rect.bottom() + 1);
    sweep2.lineTo(rect.left(), rect.bottom() + 1);
    sweep2.closeSubpath();
    p.fillPath(sweep2, QColor(110, 140, 205, 60));
    p.restore();
    p.save();
    p.setPen(QColor(255, 255, 255));
    p.drawLine(rect.topLeft(), rect.topRight());
    p.restore();
}

void PageTab(QPainter &p, const QString &title)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setFont(Sans(15, true));
    const int textWidth = QFontMetrics(p.font()).horizontalAdvance(title);
    const QRectF tab(18, 6, textWidth + 44, 26);
    // Rule under the tab across the page.
    Gradient(p, QRectF(8, 30, 470, 3), CaptionTop, CaptionBottom);
    QPainterPath shape;
    shape.moveTo(tab.left(), tab.bottom() + 1);
    shape.lineTo(tab.left(), tab.top() + 6);
    shape.quadTo(tab.left(), tab.top(), tab.left() + 6, tab.top());
    shape.lineTo(tab.right() - 12, tab.top());
    shape.quadTo(tab.right() - 6, tab.top(), tab.right(), tab.bottom() + 1);
    shape.closeSubpath();
    QLinearGradient g(tab.topLeft(), tab.bottomLeft());
    g.setColorAt(0, CaptionTop.lighter(125));
    g.setColorAt(1, CaptionBottom);
    p.fillPath(shape, g);
    p.setPen(QColor(8, 18, 52));
    p.drawPath(shape);
    p.setPen(QColor(255, 255, 255, 80));
    p.drawLine(QPointF(tab.left() + 6, tab.top() + 1.5), QPointF(tab.right() - 14, tab.top() + 1.5));
    p.setBrush(Accent);
    p.setPen(QPen(QColor(120, 70, 0), 0.8));
    p.drawEllipse(QPointF(tab.left() + 12, tab.center().y() + 1), 4, 4);
    ShadowText(p, tab.toRect().adjusted(22, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, title, Qt::white,
               QColor(0, 0, 0, 170));
    p.restore();
}

} // namespace Paint
