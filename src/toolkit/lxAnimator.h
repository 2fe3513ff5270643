#pragma once

#include "toolkit/Control.h"

#include <QImage>
#include <QPointer>

#include <cstdint>
#include <functional>

class TImageList;
class TTimer;

// Receives the animator and the index of the frame the next tick will show.
using TlxChangeFrameEvent = std::function<void(QObject *sender, std::int32_t frameNo)>;

// Plays the pictures of an image list one after another as a looping animation driven by a timer.
// While it runs, ImageIndex is one ahead of the frame on screen.
class TlxAnimator : public TControl
{
    Q_OBJECT

public:
    explicit TlxAnimator(QWidget *parent = nullptr);
    ~TlxAnimator() override;

    bool Animate() const { return animate_; }
    // Only starts or stops the frame timer: the frame on screen stays.
    virtual void SetAnimate(bool animate);

    std::uint16_t Delay() const { return delay_; }
    // Milliseconds between two frames; 0 runs no frames.
    virtual void SetDelay(std::uint16_t delay);

    std::int32_t ImageIndex() const { return imageIndex_; }
    // The frame the next tick and any repaint draw; repaints only when changed. No range check.
    virtual void SetImageIndex(std::int32_t index);

    TImageList *ImageList() const { return imageList_; }
    // The source of the frames (not owned); the control takes the list's picture size, and takes it
    // again whenever the list's size changes.
    virtual void SetImageList(TImageList *list);

    // The background behind frames: the parent's background colour.
    QColor Color() const;

    // The frame timer's tick: draws frame ImageIndex at once and moves ImageIndex one ahead.
    void AnimateStep(QObject *sender);

    TlxChangeFrameEvent OnChangeFrame;

    // Whether the frame timer is delivering ticks.
    bool IsTimerRunning() const;

protected:
    // The image list is being freed: forget it and repaint.
    void Notification(QObject *component);
    void Paint(QPainter &canvas);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void RenderFrame(std::int32_t index);
    void SnapToList();

    bool animate_ = true;
    std::uint16_t delay_ = 100;
    std::int32_t imageIndex_ = 0;
    TImageList *imageList_ = nullptr;
    QImage frame_;
    bool showRendered_ = false;
    TTimer *timer_ = nullptr;
};
