#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Whether the disc's program starts on a desktop without Qt: every library the program and the
// runtime's libraries and plugins need is in the runtime folder or left to the system, and the
// plugins for X11 and Wayland are there. It works on the disc's list of files and a reader, so
// that a folder and an image are checked alike.
class RuntimeCheck
{
public:
    using Reader = std::function<QByteArray(const QString &path)>;

    struct Problem
    {
        bool error = true;
        QString path; // relative to the disc
        QString what;
    };

    // files: every file on the disc, relative to its root ("Runtime/lib/libQt6Core.so.6");
    // read gives a file's bytes.
    RuntimeCheck(QStringList files, Reader read);

    // The problems of the disc's programs (names at the root) and of the runtime folder.
    QList<Problem> Inspect(const QStringList &programs) const;

    // Whether the user's system is trusted to provide the library of that name.
    static bool LeftToSystem(const QString &soname);

private:
    void checkNeeded(const QString &path, const QStringList &needed, bool searchesRuntime,
                     QList<Problem> &problems) const;

    QStringList files_;
    Reader read_;
    QStringList libraries_; // the names in the runtime's library folder
};
