#include "toolkit/ScrollU.h"

#include "toolkit/AnsiText.h"
#include "toolkit/Dispatch.h"
#include "toolkit/Timer.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QRegion>

namespace {
const QString RenderFailed = QStringLiteral("Failed to render text");
constexpr int DefaultInterval = 100;
} // namespace

TMarquee::TMarquee(QWidget *owner) : TCustomPanel(owner)
{
    CreateTimer();
    resize(100, 75);
    SetBevelWidth(3);
}

TMarquee::~TMarquee()
{
    // Freeing a running marquee raises OnDone; an error there must not leave the destructor.
    Dispatch::Guarded([this] { Stop(); });
}

void TMarquee::CreateTimer()
{
    timer_ = new TTimer(this);
    timer_->SetEnabled(false);
    timer_->SetInterval(DefaultInterval);
    timer_->OnTimer = [this](QObject *) { TimerTick(); };
}

void TMarquee::SetItems(const QList<QByteArray> &value)
{
    if (&value == &items_)
        return;
    items_ = value;
}

void TMarquee::SetInterval(int interval)
{
    timer_->SetInterval(interval);
}

void TMarquee::Start()
{
    if (running_ || items_.isEmpty())
        return;
    running_ = true;
    RenderText();
    timer_->SetEnabled(true);
}

void TMarquee::Stop()
{
    if (!running_)
        return;
    timer_->SetEnabled(false);
    // Stopped before the handler runs, so that a handler calling Stop (or a destructor's Stop)
    // raises nothing a second time.
    running_ = false;
    if (OnDone)
        OnDone(this);
    if (running_)
        return; // started again by the handler, with a buffer of its own
    buffer_ = QImage();
    update();
}

void TMarquee::RenderText()
{
    MeasureLineHeight();
    CalcRects();
    TRect line{viewRect_.Left, 0, viewRect_.Right, bufferRect_.Bottom};
    ResetOffset();

    buffer_ = QImage(width(), bufferRect_.Bottom, QImage::Format_RGB32);
    // Fonts given in points must come out at the size they have on the screen.
    buffer_.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    buffer_.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    QPainter canvas(&buffer_);
    canvas.setFont(font());
    canvas.fillRect(bufferRect_.ToQRect(), Color());
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < items_.size(); ++i) {
        line.Top = height() + i * lineHeight_;
        RenderLine(canvas, line, i);
    }
}

void TMarquee::RenderLine(QPainter &canvas, const TRect &lineRect, int index)
{
    const QString text = AnsiText::Decode(items_.at(index));
    int flags = Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    switch (justify_) {
    case tjCenter:
        flags |= Qt::AlignHCenter;
        break;
    case tjLeft:
        flags |= Qt::AlignLeft;
        break;
    case tjRight:
        flags |= Qt::AlignRight;
        break;
    }
    const QRect rect = lineRect.ToQRect();
    QRect drawn;
    canvas.save();
    canvas.setClipRect(rect);
    canvas.drawText(rect, flags, text, &drawn);
    canvas.restore();
    const int drawnHeight = text.isEmpty() ? 0 : drawn.height();
    if (drawnHeight <= 0)
        throw EMarqueeError(RenderFailed);
}

void TMarquee::MeasureLineHeight()
{
    // The cell height (ascent plus descent) plus the internal leading, which is the part of the
    // cell above the em square: cell height minus the font's pixel size.
    const QFontMetrics metrics(font(), this);
    const int cellHeight = metrics.height();
    const int internalLeading = qMax(0, cellHeight - QFontInfo(font()).pixelSize());
    lineHeight_ = cellHeight + internalLeading;
}

void TMarquee::CalcRects()
{
    bufferRect_ = TRect{0, 0, width(), int(items_.size()) * lineHeight_ + 2 * height()};
    const int bevel = BevelWidth();
    viewRect_ = TRect{bevel, bevel, width() - 2 * bevel, height() - 2 * bevel};
}

void TMarquee::ResetOffset()
{
    scrollOffset_ = scrollDown_ ? bufferRect_.Bottom - height() : 0;
}

void TMarquee::TimerTick()
{
    ScrollStep();
    update(viewRect_.ToQRect().translated(ClientRect().topLeft()));
}

void TMarquee::ScrollStep()
{
    if (!scrollDown_) {
        const int lines = int(items_.size());
        if (ClientHeight() + lines * lineHeight_ - 1 >= scrollOffset_) {
            ++scrollOffset_;
            return;
        }
    } else if (scrollOffset_ >= 1) {
        --scrollOffset_;
        return;
    }
    if (continuous_)
        ResetOffset();
    else
        Stop();
}

void TMarquee::Paint(QPainter &canvas, const QRegion &dirty)
{
    if (!running_) {
        TCustomPanel::Paint(canvas, dirty);
        return;
    }
    const QRect block(0, 0, viewRect_.Right, viewRect_.Bottom);
    const QRect source(0, scrollOffset_, viewRect_.Right, viewRect_.Bottom);
    canvas.drawImage(block.topLeft(), buffer_, source);

    // Rows past the buffer's end (lines added while running lengthen the pass) are blank space.
    const int rowsShown = qMax(0, buffer_.height() - scrollOffset_);
    if (rowsShown < block.height())
        canvas.fillRect(QRect(0, rowsShown, block.width(), block.height() - rowsShown), Color());
    // The block also covers the strips along the top and left edges, which a tick does not repaint:
    // they keep the slice of text that the last full repaint put there. A repaint erases only what
    // the block leaves uncovered, along the right and bottom edges.
    for (const QRect &rect : dirty - block)
        canvas.fillRect(rect, Color());
}
