#include "toolkit/Timer.h"

#include "toolkit/Dispatch.h"

TTimer::TTimer(QObject *owner) : QObject(owner)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TTimer::Tick);
    UpdateTimer();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(int interval)
{
    if (interval_ == interval)
        return;
    interval_ = interval;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
}

void TTimer::Tick()
{
    Dispatch::Guarded([this] {
        if (OnTimer)
            OnTimer(this);
    });
}
