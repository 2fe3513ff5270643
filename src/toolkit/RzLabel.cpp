#include "toolkit/RzLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <climits>

TRzLabel::TRzLabel(QWidget *parent) : TControl(parent)
{
    // A label has no window of its own: it takes no focus and leaves its parent's picture beneath.
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    AdjustBounds();
}

void TRzLabel::SetCaption(const QString &caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    AdjustBounds();
    repaint();
}

void TRzLabel::SetTransparent(bool transparent)
{
    if (transparent_ == transparent)
        return;
    transparent_ = transparent;
    update();
}

void TRzLabel::SetAutoSize(bool autoSize)
{
    if (autoSize_ == autoSize)
        return;
    autoSize_ = autoSize;
    AdjustBounds();
}

void TRzLabel::SetAlignment(TAlignment alignment)
{
    if (alignment_ == alignment)
        return;
    alignment_ = alignment;
    update();
}

void TRzLabel::SetWordWrap(bool wordWrap)
{
    if (wordWrap_ == wordWrap)
        return;
    wordWrap_ = wordWrap;
    Changed();
}

void TRzLabel::SetLayout(TTextLayout layout)
{
    if (layout_ == layout)
        return;
    layout_ = layout;
    update();
}

void TRzLabel::SetShowAccelChar(bool show)
{
    if (showAccelChar_ == show)
        return;
    showAccelChar_ = show;
    Changed();
}

void TRzLabel::SetTextStyle(TTextStyle style)
{
    if (textStyle_ == style)
        return;
    textStyle_ = style;
    update();
}

QColor TRzLabel::ShadowColor() const
{
    return shadowColor_.value_or(RzCommon::SystemColor(TSystemColor::clBtnShadow, palette()));
}

void TRzLabel::SetShadowColor(const QColor &colour)
{
    if (shadowColor_ == colour)
        return;
    shadowColor_ = colour;
    update();
}

QColor TRzLabel::HighlightColor() const
{
    return highlightColor_.value_or(RzCommon::SystemColor(TSystemColor::clBtnHighlight, palette()));
}

void TRzLabel::SetHighlightColor(const QColor &colour)
{
    if (highlightColor_ == colour)
        return;
    highlightColor_ = colour;
    update();
}

void TRzLabel::SetShadowDepth(int depth)
{
    if (shadowDepth_ == depth)
        return;
    shadowDepth_ = depth;
    update();
}

void TRzLabel::SetLightTextStyle(bool light)
{
    if (lightTextStyle_ == light)
        return;
    lightTextStyle_ = light;
    update();
}

void TRzLabel::SetFrameSides(TSides sides)
{
    if (frameSides_ == sides)
        return;
    frameSides_ = sides;
    Changed();
}

QColor TRzLabel::Color() const
{
    if (color_)
        return *color_;
    const QWidget *parent = parentWidget();
    return (parent ? parent->palette() : palette()).color(QPalette::Window);
}

void TRzLabel::SetColor(const QColor &colour)
{
    if (color_ == colour)
        return;
    color_ = colour;
    update();
}

void TRzLabel::SetFont(const QFont &font)
{
    if (this->font() == font && testAttribute(Qt::WA_SetFont))
        return;
    setFont(font);
}

QColor TRzLabel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TRzLabel::SetFontColor(const QColor &colour)
{
    if (FontColor() == colour)
        return;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
    update();
}

void TRzLabel::Paint(QPainter &canvas) const
{
    const QColor black(Qt::black);
    const TRect inner = RzCommon::PaintFrameSides(canvas, TRect{0, 0, width(), height()}, black, black, frameSides_);
    if (!transparent_ && !inner.IsEmpty())
        canvas.fillRect(inner.ToQRect(), Color());
    if (!caption_.isEmpty())
        DrawCaption(canvas, TextRect());
}

void TRzLabel::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter canvas(this);
    Paint(canvas);
}

void TRzLabel::changeEvent(QEvent *event)
{
    TControl::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Changed();
}

void TRzLabel::Changed()
{
    AdjustBounds();
    update();
}

void TRzLabel::AdjustBounds()
{
    if (!autoSize_)
        return;
    const int sidesWide = int(frameSides_.Contains(sdLeft)) + int(frameSides_.Contains(sdRight));
    const int sidesHigh = int(frameSides_.Contains(sdTop)) + int(frameSides_.Contains(sdBottom));
    const QFontMetrics metrics(font());
    const int available = wordWrap_ ? qMax(0, width() - sidesWide) : INT_MAX / 2;
    // An empty caption measures as one line, so that an empty label keeps the height of its font.
    const QString text = caption_.isEmpty() ? QStringLiteral(" ") : caption_;
    const QRect bounds = metrics.boundingRect(QRect(0, 0, available, INT_MAX / 2), TextFlags(), text);
    const int newWidth = wordWrap_ ? width() : bounds.width() + sidesWide;
    resize(newWidth, bounds.height() + sidesHigh);
}

int TRzLabel::TextFlags() const
{
    int flags = Qt::AlignTop | Qt::TextExpandTabs;
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
    if (wordWrap_)
        flags |= Qt::TextWordWrap;
    if (showAccelChar_)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

QRect TRzLabel::TextRect() const
{
    TRect rect{0, 0, width(), height()};
    if (frameSides_.Contains(sdLeft))
        ++rect.Left;
    if (frameSides_.Contains(sdTop))
        ++rect.Top;
    if (frameSides_.Contains(sdRight))
        --rect.Right;
    if (frameSides_.Contains(sdBottom))
        --rect.Bottom;
    QRect text = rect.ToQRect();
    if (layout_ != tlTop) {
        const QRect measured = QFontMetrics(font()).boundingRect(text, TextFlags(), caption_);
        const int spare = height() - measured.height();
        text.translate(0, layout_ == tlCenter ? spare / 2 : spare);
    }
    if (alignment_ == taRightJustify)
        text.translate(-1, 0);
    if (layout_ == tlBottom)
        text.translate(0, textStyle_ == tsShadow ? -shadowDepth_ : -1);
    return text;
}

void TRzLabel::DrawCaption(QPainter &canvas, const QRect &rect) const
{
    canvas.setFont(font());
    const int flags = TextFlags();
    const auto draw = [&](int dx, int dy, const QColor &colour) {
        canvas.setPen(colour);
        canvas.drawText(rect.translated(dx, dy), flags, caption_);
    };
    if (!isEnabled()) {
        draw(1, 1, RzCommon::SystemColor(TSystemColor::clBtnHighlight, palette()));
        draw(0, 0, RzCommon::SystemColor(TSystemColor::clGrayText, palette()));
        return;
    }
    switch (textStyle_) {
    case tsNormal:
        break;
    case tsRaised:
        if (!lightTextStyle_)
            draw(1, 1, ShadowColor());
        draw(-1, -1, HighlightColor());
        break;
    case tsRecessed:
        draw(1, 1, HighlightColor());
        if (!lightTextStyle_)
            draw(-1, -1, ShadowColor());
        break;
    case tsShadow:
        draw(shadowDepth_, shadowDepth_, ShadowColor());
        break;
    }
    draw(0, 0, FontColor());
}
