#pragma once

#include "toolkit/Control.h"

#include <QColor>
#include <QPointer>
#include <QString>

#include <cstdint>

class QPainter;
class QRegion;

// The toolkit's panel: a control with a background colour, a font, raised or lowered bevels, an
// optional border and a caption, painted by its own Paint.
class TCustomPanel : public TControl
{
    Q_OBJECT

public:
    enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
    enum TBorderStyle : std::uint8_t { bsNone, bsSingle };
    enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
    // Only filling the parent's client area is offered; other placements are left to the owner.
    enum TAlign : std::uint8_t { alNone, alClient };

    explicit TCustomPanel(QWidget *parent = nullptr);

    // Background of the client area (the button face unless set).
    QColor Color() const { return color_; }
    void SetColor(const QColor &color);

    QString Caption() const { return caption_; }
    void SetCaption(const QString &caption);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut bevel);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);

    // Width of the plain frame in Color between the outer and the inner bevel.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);

    // A single border lies outside the client area: one black pixel without the 3-D look, a
    // two-pixel sunken edge with it.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool ctl3D);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    // The client area: the control without its border, in the control's coordinates.
    QRect ClientRect() const;
    int ClientHeight() const;
    // The part of the client area that children aligned to the client fill: inside the border
    // width and the bevels.
    QRect AlignClientRect() const;

protected:
    // Paints the client area. The painter's origin is the client area's top-left corner, and dirty
    // is the part that needs painting, in the same coordinates.
    virtual void Paint(QPainter &canvas, const QRegion &dirty);

    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void PaintBorder(QPainter &painter) const;
    void BorderChanged();
    void RealignChildren();
    void AlignToParent();
    void WatchParent(QWidget *parent);

    QColor color_;
    QString caption_;
    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    bool ctl3D_ = true;
    TAlign align_ = alNone;
    QPointer<QWidget> watchedParent_;
};
