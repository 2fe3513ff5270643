#include "toolkit/lxAnimator.h"

#include "toolkit/ImageList.h"
#include "toolkit/Timer.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

TlxAnimator::TlxAnimator(QWidget *parent) : TControl(parent)
{
    // Every frame covers the whole control: Qt need not erase the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    resize(40, 40);
    timer_ = new TTimer(this);
    timer_->SetInterval(delay_);
    timer_->SetEnabled(true);
    timer_->OnTimer = [this](QObject *sender) { AnimateStep(sender); };
}

TlxAnimator::~TlxAnimator() = default;

void TlxAnimator::SetAnimate(bool animate)
{
    if (animate_ == animate)
        return;
    animate_ = animate;
    timer_->SetEnabled(animate);
}

void TlxAnimator::SetDelay(std::uint16_t delay)
{
    if (delay_ == delay)
        return;
    delay_ = delay;
    timer_->SetInterval(delay);
}

void TlxAnimator::SetImageIndex(std::int32_t index)
{
    if (imageIndex_ == index)
        return;
    imageIndex_ = index;
    update();
}

void TlxAnimator::SetImageList(TImageList *list)
{
    if (imageList_ == list)
        return;
    if (imageList_)
        disconnect(imageList_, nullptr, this, nullptr);
    imageList_ = list;
    if (list) {
        connect(list, &QObject::destroyed, this, [this](QObject *component) { Notification(component); });
        // The control keeps the list's picture size as it is now, not as it was when assigned.
        connect(list, &TImageList::SizeChanged, this, [this] { SnapToList(); });
        SnapToList();
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

QColor TlxAnimator::Color() const
{
    const QWidget *parent = parentWidget();
    return (parent ? parent->palette() : palette()).color(QPalette::Window);
}

bool TlxAnimator::IsTimerRunning() const
{
    return timer_->IsTicking();
}

void TlxAnimator::AnimateStep(QObject *sender)
{
    Q_UNUSED(sender);
    if (!imageList_)
        return;
    try {
        if (imageIndex_ >= imageList_->Count())
            imageIndex_ = 0;
        RenderFrame(imageIndex_);
        // Draw the frame just rendered now, instead of waiting for a repaint of ImageIndex.
        showRendered_ = true;
        repaint();
        showRendered_ = false;
        ++imageIndex_;
        if (imageIndex_ == imageList_->Count())
            imageIndex_ = 0;
        if (OnChangeFrame)
            OnChangeFrame(this, imageIndex_);
    } catch (...) {
        showRendered_ = false;
        SetAnimate(false);
        throw;
    }
}

void TlxAnimator::Notification(QObject *component)
{
    if (component && component == imageList_) {
        imageList_ = nullptr;
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        update();
    }
}

void TlxAnimator::Paint(QPainter &canvas)
{
    if (!imageList_) {
        canvas.fillRect(rect(), Color());
        return;
    }
    if (!showRendered_)
        RenderFrame(imageIndex_);
    canvas.drawImage(0, 0, frame_);
}

void TlxAnimator::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter canvas(this);
    Paint(canvas);
}

void TlxAnimator::resizeEvent(QResizeEvent *event)
{
    TControl::resizeEvent(event);
    if (imageList_ && size() != QSize(imageList_->Width(), imageList_->Height()))
        SnapToList();
}

void TlxAnimator::RenderFrame(std::int32_t index)
{
    const int width = imageList_->Width();
    const int height = imageList_->Height();
    if (frame_.width() != width || frame_.height() != height || frame_.format() != QImage::Format_RGB32)
        frame_ = QImage(width, height, QImage::Format_RGB32);
    frame_.fill(Color());
    imageList_->GetBitmap(index, frame_);
}

void TlxAnimator::SnapToList()
{
    // Fixed bounds make every later resize come back to the frame size, shown or not.
    setFixedSize(imageList_->Width(), imageList_->Height());
}
