#pragma once

#include "toolkit/Component.h"

#include <QObject>
#include <QTimer>

// The message-loop timer: ticks on the GUI thread through the dispatch guard; an interval of 0
// runs no timer while Enabled stays true.
class TTimer : public QObject
{
    Q_OBJECT

public:
    explicit TTimer(QObject *owner = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    int Interval() const { return interval_; }
    void SetInterval(int interval);

    // Whether ticks are being delivered (enabled with a non-zero interval).
    bool IsTicking() const { return timer_.isActive(); }
    // Milliseconds until the next tick, or -1 when none is due.
    int RemainingTime() const { return timer_.remainingTime(); }

    TNotifyEvent OnTimer;

private:
    void UpdateTimer();
    void Tick();

    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};
