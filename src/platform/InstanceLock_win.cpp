#include "platform/InstanceLock.h"

#include "platform/AnsiText.h"

#include <windows.h>

// The named mutex shared by every copy on the desktop. A failed creation leaves no handle: the wait
// then fails at once and the start goes on.
InstanceLock::InstanceLock(const QString &name) : mutex_(CreateMutexA(nullptr, FALSE, AnsiText::Of(name).constData()))
{
}

// A copy that ends while holding the mutex gives it up; one that does not hold it only closes it.
InstanceLock::~InstanceLock()
{
    Release();
}

InstanceLock::Outcome InstanceLock::Acquire(int timeoutMs)
{
    switch (WaitForSingleObject(mutex_, static_cast<DWORD>(timeoutMs))) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED: // its holder died holding it
        return Outcome::Acquired;
    case WAIT_TIMEOUT:
        return Outcome::TimedOut;
    default:
        return Outcome::Failed;
    }
}

void InstanceLock::Release()
{
    if (!mutex_)
        return;
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
    mutex_ = nullptr;
}
