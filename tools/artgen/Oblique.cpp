#include "Oblique.h"

#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>

void Oblique::Face(QPainter &p, const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d,
                   const QBrush &fill, const QColor &edge) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(edge, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPolygon(QPolygonF({a, b, c, d}));
    p.restore();
}

void Oblique::Front(QPainter &p, double x, double y, double z, double w, double h, const QColor &colour) const
{
    const QColor edge = colour.darker(260);
    QLinearGradient front(P(x, y + h, z), P(x + w, y, z));
    front.setColorAt(0, colour.lighter(128));
    front.setColorAt(1, colour.darker(108));
    Face(p, P(x, y, z), P(x + w, y, z), P(x + w, y + h, z), P(x, y + h, z), front, edge);
    // A glint along the top edge.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.drawLine(P(x + 1.5, y + h - 1.5, z), P(x + w - 1.5, y + h - 1.5, z));
    p.restore();
}

void Oblique::Block(QPainter &p, double x, double y, double z, double w, double h, double d, const QColor &colour) const
{
    const QColor edge = colour.darker(260);
    QLinearGradient top(P(x, y + h, z + d), P(x + w, y + h, z));
    top.setColorAt(0, colour.lighter(165));
    top.setColorAt(1, colour.lighter(135));
    Face(p, P(x, y + h, z), P(x + w, y + h, z), P(x + w, y + h, z + d), P(x, y + h, z + d), top, edge);
    QLinearGradient right(P(x + w, y + h, z), P(x + w, y, z + d));
    right.setColorAt(0, colour.darker(130));
    right.setColorAt(1, colour.darker(175));
    Face(p, P(x + w, y, z), P(x + w, y, z + d), P(x + w, y + h, z + d), P(x + w, y + h, z), right, edge);
    Front(p, x, y, z, w, h, colour);
}

void Oblique::Shadow(QPainter &p, double x, double base, double z, double w, double d, double height) const
{
    const double fade = std::clamp(1.0 - height / 60.0, 0.15, 1.0);
    const QPointF centre = (P(x, base, z) + P(x + w, base, z + d)) / 2 + QPointF(3, 1);
    const double rx = (w * 0.75 + d * 0.3) * (0.7 + 0.3 * fade);
    const double ry = (d * 0.32 + 3) * (0.7 + 0.3 * fade);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient g(centre, 1);
    g.setCoordinateMode(QGradient::LogicalMode);
    g.setRadius(rx);
    g.setColorAt(0, QColor(20, 40, 90, static_cast<int>(110 * fade)));
    g.setColorAt(1, QColor(20, 40, 90, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.translate(centre);
    p.scale(1.0, ry / rx);
    p.translate(-centre);
    p.drawEllipse(centre, rx, rx);
    p.restore();
}
