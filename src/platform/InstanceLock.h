#pragma once

#include <QString>

// The lock that serialises start-ups on one desktop: held by a starting copy while it creates its
// windows. A holder that dies gives it up with its life, so the next start takes it over. It lives
// in a folder of this user's alone, with the user in its name, so that no other user can hold it.
class InstanceLock
{
public:
    enum class Outcome { Acquired, TimedOut, Failed };

    explicit InstanceLock(const QString &name);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Waits at most timeoutMs for the lock. Failed means it could not be created or taken for a
    // reason other than another holder, or that this user has no private folder to hold it.
    Outcome Acquire(int timeoutMs);
    void Release();

    // The lock's file; empty where this user has no private folder.
    QString FilePath() const { return path_; }

    // The folder that holds the lock and the copies' meeting point: the user's runtime folder or,
    // where there is none, OwnFolder(); empty where neither is this user's alone.
    static QString RuntimeFolder();
    // This user's private folder in the user's cache folder, named after the user.
    static QString OwnFolder();
    // Makes folder this user's private folder (creating it, or closing an existing one of this
    // user's to others); false where it cannot be had, someone else owns it, or the folder it lies
    // in is not this user's alone to write in.
    static bool MakePrivateFolder(const QString &folder);
    // Whether folder is, as it is, a folder (not a link) of this user's that no one else can use.
    static bool IsPrivateFolder(const QString &folder);

private:
    QString path_;
    // Outside Windows, the open lock file, locked while held.
    int file_ = -1;
    // On Windows the lock is the named mutex, and this its handle.
    void *mutex_ = nullptr;
};
