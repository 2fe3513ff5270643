#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QWidget;

// How a later start finds the running menu and asks it to come forward: a local socket named
// after the main window's class and caption and the user, in the user's runtime folder or, where
// that cannot hold it, in a private folder of this user's own.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    InstanceChannel(const QString &windowClass, const QString &caption, QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Asks a running copy to come forward; false when no copy answers.
    bool RaiseRunningCopy() const;

    // Starts answering later starts on behalf of window (called while holding the start-up lock,
    // so a socket left by a crashed copy can be removed first). Where no socket can be had, says
    // so on standard error and returns false.
    bool Listen(QWidget *window);

    // Restores a minimised window, otherwise raises and activates it; where the window manager
    // does not let it come forward, it asks for the user's attention.
    static void BringForward(QWidget *window);

private:
    void Answer();
    // Listens at path; where it cannot, error says why.
    bool ListenAt(const QString &path, QString &error);

    QString runtimeName_;
    QString ownFolder_;
    QString ownName_;
    struct Listener;
    std::unique_ptr<Listener> listener_;
    QPointer<QWidget> window_;

    // On Windows a later start finds the running menu by a window of the main window's class and
    // caption; this is the hidden window of that class that the main window owns.
    QString windowClass_;
    QString caption_;
    void *marker_ = nullptr;
};
