#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>

// A small oblique projection for drawing solid blocks: x to the right, y up, z away from the
// viewer (drawn up and to the right).
class Oblique
{
public:
    explicit Oblique(QPointF origin, double kx = 0.5, double ky = 0.36) : origin_(origin), kx_(kx), ky_(ky) {}

    QPointF P(double x, double y, double z) const { return origin_ + QPointF(x + z * kx_, -y - z * ky_); }

    // A solid block from (x, y, z) spanning w, h, d: front, top and right faces shaded from colour.
    void Block(QPainter &p, double x, double y, double z, double w, double h, double d, const QColor &colour) const;
    // The front face of a block only (to cover what lies inside it).
    void Front(QPainter &p, double x, double y, double z, double w, double h, const QColor &colour) const;
    // A flat shadow on the plane at height base under a block, fading with the block's height above it.
    void Shadow(QPainter &p, double x, double base, double z, double w, double d, double height) const;
    // A four-point face.
    void Face(QPainter &p, const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d, const QBrush &fill,
              const QColor &edge) const;

private:
    QPointF origin_;
    double kx_;
    double ky_;
};
