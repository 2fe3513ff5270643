#pragma once

#include <QString>

#include <memory>

class QLockFile;

// The lock that serialises start-ups on one desktop: held by a starting copy while it creates its
// windows. A holder that died leaves a stale lock that the next start takes over.
class InstanceLock
{
public:
    enum class Outcome { Acquired, TimedOut, Failed };

    explicit InstanceLock(const QString &name);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Waits at most timeoutMs for the lock. Failed means it could not be created or taken for a
    // reason other than another holder.
    Outcome Acquire(int timeoutMs);
    void Release();

    // The folder that holds the lock and the copies' meeting point (the user's runtime folder).
    static QString RuntimeFolder();

private:
    std::unique_ptr<QLockFile> lock_;
    // On Windows the lock is the named mutex, and this its handle.
    void *mutex_ = nullptr;
};
