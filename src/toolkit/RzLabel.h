#pragma once

#include "toolkit/Control.h"
#include "toolkit/RzCommon.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QPainter;

// A label without a window of its own, painted on its parent: with Transparent set and no caption
// it paints nothing and serves as a hot spot taking the clicks and pointer entry for its rectangle.
class TRzLabel : public TControl
{
    Q_OBJECT

public:
    explicit TRzLabel(QWidget *parent = nullptr);

    QString Caption() const { return caption_; }
    // Repaints at once.
    void SetCaption(const QString &caption);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);

    // With AutoSize the label takes the size of its caption (with WordWrap: only its height).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);

    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);

    // Whether '&' marks the next character as an accelerator (drawn underlined) instead of showing.
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);

    TTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TTextStyle style);

    QColor ShadowColor() const;
    void SetShadowColor(const QColor &colour);
    QColor HighlightColor() const;
    void SetHighlightColor(const QColor &colour);
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int depth);
    bool LightTextStyle() const { return lightTextStyle_; }
    void SetLightTextStyle(bool light);

    // Black 1-pixel lines on these sides.
    TSides FrameSides() const { return frameSides_; }
    void SetFrameSides(TSides sides);

    // The background filled when not Transparent; by default the parent's background colour.
    QColor Color() const;
    void SetColor(const QColor &colour);

    QFont Font() const { return font(); }
    void SetFont(const QFont &font);
    // The caption's colour.
    QColor FontColor() const;
    void SetFontColor(const QColor &colour);

    // Draws the label into canvas as it appears on screen, within (0, 0, width(), height()).
    void Paint(QPainter &canvas) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void AdjustBounds();
    int TextFlags() const;
    QRect TextRect() const;
    void DrawCaption(QPainter &canvas, const QRect &rect) const;
    void Changed();

    QString caption_;
    bool transparent_ = false;
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    bool wordWrap_ = false;
    TTextLayout layout_ = tlTop;
    bool showAccelChar_ = true;
    TTextStyle textStyle_ = tsRecessed;
    std::optional<QColor> shadowColor_;
    std::optional<QColor> highlightColor_;
    int shadowDepth_ = 2;
    bool lightTextStyle_ = false;
    TSides frameSides_;
    std::optional<QColor> color_;
};
