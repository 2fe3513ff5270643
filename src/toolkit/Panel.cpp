#include "toolkit/Panel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

#include <utility>

namespace {

// Draws width nested one-pixel frames inward from rect (which shrinks by width on each side): the
// left column and top row in topColour, the right column and bottom row in bottomColour, which
// also takes the top-right and bottom-left corners.
void Frame3D(QPainter &painter, QRect &rect, const QColor &topColour, const QColor &bottomColour, int width)
{
    for (; width > 0 && rect.width() > 0 && rect.height() > 0; --width) {
        const int left = rect.left();
        const int top = rect.top();
        const int w = rect.width();
        const int h = rect.height();
        painter.fillRect(left, top, 1, h - 1, topColour);
        painter.fillRect(left, top, w - 1, 1, topColour);
        painter.fillRect(left + w - 1, top, 1, h, bottomColour);
        painter.fillRect(left, top + h - 1, w, 1, bottomColour);
        rect.adjust(1, 1, -1, -1);
    }
}

// The top-left and bottom-right colours of a bevel.
std::pair<QColor, QColor> BevelColours(const QPalette &palette, TCustomPanel::TBevelCut bevel)
{
    const QColor highlight = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Dark);
    if (bevel == TCustomPanel::bvLowered)
        return {shadow, highlight};
    return {highlight, shadow};
}

int BevelInset(TCustomPanel::TBevelCut bevel, int width)
{
    return bevel == TCustomPanel::bvNone ? 0 : width;
}

} // namespace

TCustomPanel::TCustomPanel(QWidget *parent) : TControl(parent), color_(palette().color(QPalette::Button))
{
    // Paint covers every pixel, so nothing beneath needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 41);
}

void TCustomPanel::SetColor(const QColor &color)
{
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void TCustomPanel::SetCaption(const QString &caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    update();
}

void TCustomPanel::SetAlignment(TAlignment alignment)
{
    if (alignment_ == alignment)
        return;
    alignment_ = alignment;
    update();
}

void TCustomPanel::SetBevelInner(TBevelCut bevel)
{
    if (bevelInner_ == bevel)
        return;
    bevelInner_ = bevel;
    RealignChildren();
    update();
}

void TCustomPanel::SetBevelOuter(TBevelCut bevel)
{
    if (bevelOuter_ == bevel)
        return;
    bevelOuter_ = bevel;
    RealignChildren();
    update();
}

void TCustomPanel::SetBevelWidth(int width)
{
    width = qMax(1, width);
    if (bevelWidth_ == width)
        return;
    bevelWidth_ = width;
    RealignChildren();
    update();
}

void TCustomPanel::SetBorderWidth(int width)
{
    width = qMax(0, width);
    if (borderWidth_ == width)
        return;
    borderWidth_ = width;
    RealignChildren();
    update();
}

void TCustomPanel::SetBorderStyle(TBorderStyle style)
{
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    BorderChanged();
}

void TCustomPanel::SetCtl3D(bool ctl3D)
{
    if (ctl3D_ == ctl3D)
        return;
    ctl3D_ = ctl3D;
    BorderChanged();
}

void TCustomPanel::SetAlign(TAlign align)
{
    if (align_ == align)
        return;
    align_ = align;
    WatchParent(align_ == alClient ? parentWidget() : nullptr);
    AlignToParent();
}

QRect TCustomPanel::ClientRect() const
{
    return contentsRect();
}

int TCustomPanel::ClientHeight() const
{
    return contentsRect().height();
}

QRect TCustomPanel::AlignClientRect() const
{
    const int inset = borderWidth_ + BevelInset(bevelOuter_, bevelWidth_) + BevelInset(bevelInner_, bevelWidth_);
    return contentsRect().adjusted(inset, inset, -inset, -inset);
}

void TCustomPanel::Paint(QPainter &canvas, const QRegion &dirty)
{
    Q_UNUSED(dirty);
    QRect rect(QPoint(0, 0), ClientRect().size());
    if (bevelOuter_ != bvNone) {
        const auto [top, bottom] = BevelColours(palette(), bevelOuter_);
        Frame3D(canvas, rect, top, bottom, bevelWidth_);
    }
    Frame3D(canvas, rect, color_, color_, borderWidth_);
    if (bevelInner_ != bvNone) {
        const auto [top, bottom] = BevelColours(palette(), bevelInner_);
        Frame3D(canvas, rect, top, bottom, bevelWidth_);
    }
    canvas.fillRect(rect, color_);
    if (caption_.isEmpty())
        return;

    // One line high, centred vertically in what the bevels leave; longer captions are cut.
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height();
    QRect line = rect;
    line.setTop((rect.top() + rect.bottom() + 1 - lineHeight) / 2);
    line.setHeight(lineHeight);
    int flags = Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextExpandTabs;
    switch (alignment_) {
    case taLeftJustify:
        flags |= Qt::AlignLeft;
        break;
    case taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case taCenter:
        flags |= Qt::AlignHCenter;
        break;
    }
    canvas.save();
    canvas.setClipRect(line, Qt::IntersectClip);
    canvas.setFont(font());
    canvas.setPen(palette().color(QPalette::WindowText));
    canvas.drawText(line, flags, caption_);
    canvas.restore();
}

void TCustomPanel::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    PaintBorder(painter);
    const QRect client = ClientRect();
    painter.setClipRect(client, Qt::IntersectClip);
    painter.translate(client.topLeft());
    Paint(painter, event->region().translated(-client.topLeft()) & QRect(QPoint(0, 0), client.size()));
}

void TCustomPanel::PaintBorder(QPainter &painter) const
{
    if (borderStyle_ != bsSingle)
        return;
    QRect rect = this->rect();
    if (!ctl3D_) {
        Frame3D(painter, rect, Qt::black, Qt::black, 1);
        return;
    }
    const QPalette &colours = palette();
    Frame3D(painter, rect, colours.color(QPalette::Dark), colours.color(QPalette::Light), 1);
    Frame3D(painter, rect, colours.color(QPalette::Shadow), colours.color(QPalette::Midlight), 1);
}

void TCustomPanel::BorderChanged()
{
    int width = 0;
    if (borderStyle_ == bsSingle)
        width = ctl3D_ ? 2 : 1;
    setContentsMargins(width, width, width, width);
    RealignChildren();
    update();
}

void TCustomPanel::RealignChildren()
{
    for (TCustomPanel *child : findChildren<TCustomPanel *>(Qt::FindDirectChildrenOnly))
        child->AlignToParent();
}

void TCustomPanel::AlignToParent()
{
    QWidget *parent = parentWidget();
    if (align_ != alClient || !parent)
        return;
    const auto *panel = qobject_cast<const TCustomPanel *>(parent);
    setGeometry(panel ? panel->AlignClientRect() : parent->contentsRect());
}

void TCustomPanel::WatchParent(QWidget *parent)
{
    if (watchedParent_ == parent)
        return;
    if (watchedParent_)
        watchedParent_->removeEventFilter(this);
    watchedParent_ = parent;
    if (watchedParent_)
        watchedParent_->installEventFilter(this);
}

bool TCustomPanel::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        WatchParent(align_ == alClient ? parentWidget() : nullptr);
        AlignToParent();
    }
    return TControl::event(event);
}

bool TCustomPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == watchedParent_ && (event->type() == QEvent::Resize || event->type() == QEvent::ContentsRectChange))
        AlignToParent();
    return TControl::eventFilter(watched, event);
}
