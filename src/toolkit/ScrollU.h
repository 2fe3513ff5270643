#pragma once

#include "toolkit/Exceptions.h"
#include "toolkit/Panel.h"
#include "toolkit/Rect.h"

#include <QByteArray>
#include <QImage>
#include <QList>

#include <cstdint>

class QPainter;
class QRegion;
class TTimer;

// Horizontal placement of every line of a marquee.
enum TJustification : std::uint8_t { tjCenter, tjLeft, tjRight };

// A marquee line that cannot be drawn: "Failed to render text".
class EMarqueeError : public Exception
{
public:
    using Exception::Exception;
};

// Scrolls a list of text lines through its area one pixel per tick, upwards or downwards. The text
// is drawn once, at Start, into an off-screen buffer with one control height of blank space above
// and below it; a tick only moves the row of the buffer that is shown.
class TMarquee : public TCustomPanel
{
    Q_OBJECT

public:
    explicit TMarquee(QWidget *owner = nullptr);
    ~TMarquee() override;

    // Read at every tick: false scrolls upwards, true downwards.
    bool ScrollDown() const { return scrollDown_; }
    void SetScrollDown(bool scrollDown) { scrollDown_ = scrollDown; }

    // Captured at Start, like the lines, the font, the colour and the size.
    TJustification Justify() const { return justify_; }
    void SetJustify(TJustification justify) { justify_ = justify; }

    // The lines, first line on top, as 8-bit Windows-1252 text (decoded only for drawing).
    const QList<QByteArray> &Items() const { return items_; }
    QList<QByteArray> &Items() { return items_; }
    // Replaces the lines with a copy of value's; the marquee keeps its own list.
    void SetItems(const QList<QByteArray> &value);

    // Raised by Stop once the marquee counts as stopped, while its buffer still exists; the handler
    // may start it again.
    TNotifyEvent OnDone;

    // Read at every tick: true starts a finished pass over, false stops the marquee.
    bool Continuous() const { return continuous_; }
    void SetContinuous(bool continuous) { continuous_ = continuous; }

    // Milliseconds between ticks, taking effect at once; 0 holds the text still.
    void SetInterval(int interval);

    // Draws the lines into the buffer and starts the ticks; does nothing while running or without
    // lines. A line that cannot be drawn raises EMarqueeError and leaves the marquee running with
    // its ticks off, showing what was drawn, until Stop.
    void Start();
    // Stops the ticks, raises OnDone, frees the buffer and repaints as a plain panel.
    virtual void Stop();

    bool Running() const { return running_; }
    int LineHeight() const { return lineHeight_; }
    // The buffer row shown at the control's top edge.
    int ScrollOffset() const { return scrollOffset_; }
    // The rectangle each tick repaints; its right and bottom are also the size of the block shown.
    TRect ViewRect() const { return viewRect_; }
    // The whole buffer.
    TRect BufferRect() const { return bufferRect_; }
    // The rendered lines; null while idle.
    const QImage &Buffer() const { return buffer_; }
    const TTimer &Timer() const { return *timer_; }

protected:
    // Measures the line height, sizes the buffer and draws every line into it.
    virtual void RenderText();
    void Paint(QPainter &canvas, const QRegion &dirty) override;

private:
    void CreateTimer();
    void TimerTick();
    void ScrollStep();
    void MeasureLineHeight();
    void CalcRects();
    void ResetOffset();
    void RenderLine(QPainter &canvas, const TRect &lineRect, int index);

    QImage buffer_;
    TRect viewRect_;
    QList<QByteArray> items_;
    TJustification justify_ = tjCenter;
    bool scrollDown_ = false;
    int lineHeight_ = 0;
    int scrollOffset_ = 0;
    TRect bufferRect_;
    TTimer *timer_ = nullptr;
    bool running_ = false;
    bool continuous_ = true;
};
