#pragma once

#include "platform/ErrorBox.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class TLauncher;
class TfrmMain;

// Records what would have been shown in the standard error box (and the plain message box)
// while it lives.
class ErrorRecorder
{
public:
    ErrorRecorder();
    ~ErrorRecorder();
    ErrorRecorder(const ErrorRecorder &) = delete;
    ErrorRecorder &operator=(const ErrorRecorder &) = delete;

    QStringList errors;   // texts of the error boxes, full stop included
    QStringList messages; // texts of the plain message boxes
    QString lastTitle;

private:
    ErrorBox::Presenter previousError_;
    ErrorBox::Presenter previousInform_;
};

// A fake xdg-open first on PATH that records each call: its arguments and working folder; with it
// a fake xdg-mime that names a program for Windows programs (Wine) unless told there is none.
class FakeOpener
{
public:
    FakeOpener();
    ~FakeOpener();
    FakeOpener(const FakeOpener &) = delete;
    FakeOpener &operator=(const FakeOpener &) = delete;

    struct Call
    {
        QStringList arguments;
        QString folder;
    };

    // The calls recorded so far (waits up to timeoutMs for at least count of them).
    QList<Call> Calls(int count = 0, int timeoutMs = 5000) const;

    // Whether the desktop has a program that runs Windows programs.
    void SetRunsWindowsPrograms(bool runs);

private:
    QTemporaryDir dir_;
    QByteArray oldPath_;
};

// Puts the tests' own small icon theme and the file types it knows alone on the data path, before
// the theme is set up: Word documents drawn in red by their own icon, spreadsheets in green by
// their type's generic icon, other types by the style's file icon.
void UseOwnIconTheme();

// An icon theme shaped as recent desktop themes are, in use while this lives: the icon a 16 px
// bitmap in one colour and, in the theme's scalable folder, the given SVG file text.
class ScalableIconTheme
{
public:
    ScalableIconTheme(const QString &iconName, const QColor &bitmapColour, const QByteArray &svg);
    ~ScalableIconTheme();
    ScalableIconTheme(const ScalableIconTheme &) = delete;
    ScalableIconTheme &operator=(const ScalableIconTheme &) = delete;

private:
    QTemporaryDir dir_;
    QStringList previousPaths_;
    QString previousName_;
};

// A disc laid out in a temporary folder: the program's folder with its Files/ tree.
class TempDisc
{
public:
    // Builds the folders of a complete disc; files are added with Write().
    TempDisc();

    // The program path on this disc for a program called name (for the disc context).
    QString ProgramPath(const QString &name = QStringLiteral("CD07")) const;
    QString Root() const; // ends in '/'

    // Writes a file below the disc's root, creating folders; returns its full path.
    QString Write(const QString &relativePath, const QByteArray &content) const;
    QString WriteBitmap(const QString &relativePath, const QImage &image) const;
    void Remove(const QString &relativePath) const;
    // Clears the write bits of every file on the disc, as a pressed disc has them.
    void MakeReadOnly() const;
    // The files the menu reads as it starts, so that it starts without an error: the four
    // schemes' backdrops, the sample picture and the six texts.
    void WriteStartFiles() const;

    // Makes this disc the program's disc context, as start-up would for a program called name.
    void Activate(const QString &name = QStringLiteral("CD07")) const;

private:
    QTemporaryDir dir_;
};

// Reads a whole file; empty when it cannot be read.
QByteArray ReadAll(const QString &path);

// A solid-colour image of the given size in 24-bit colour.
QImage SolidImage(int width, int height, const QColor &colour);

// The menu's main window and launcher, created and shown as start-up creates them; the
// application forgets them again when this goes.
class MenuWindows
{
public:
    MenuWindows();
    ~MenuWindows();
    MenuWindows(const MenuWindows &) = delete;
    MenuWindows &operator=(const MenuWindows &) = delete;

    // Creates both windows and shows the main window; false when it was never exposed.
    bool Open();

    std::unique_ptr<TfrmMain> form;
    std::unique_ptr<TLauncher> launcher;
};
