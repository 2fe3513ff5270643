#pragma once

#include "ContentFolder.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class QDir;

// Masters a disc folder as a publisher would: artwork, texts, templates, pictures, sounds,
// installers, web pages, the menu program under the disc's name and the script that starts it.
class DiscMaker
{
public:
    struct Options
    {
        QString folder;         // the disc folder to create; it must not exist or be empty
        QString program;        // the menu program to copy onto the disc
        QString windowsProgram; // the Windows menu program, copied as the program's name + ".exe"; may be empty
        QString content; // a folder in the disc's layout with the publisher's own files, at least the scheme's backdrop
        QString name = QStringLiteral("CD07"); // the program's name on the disc: its digits give the disc number
    };

    explicit DiscMaker(Options options);

    // Lays out the whole disc and returns what the publisher should know (warnings). Raises
    // EDiscError and leaves no disc folder behind when anything fails.
    QStringList Make();

    // One line saying what was made: disc number, colour scheme, folder.
    QString Summary() const;

    // The files of the disc that came from the sample because the content has none in their place.
    const QStringList &FromSample() const { return fromSample_; }

private:
    void validate();
    void validateArt();
    void writeDisc(const QString &root);
    void writeContent(const QDir &disc);

    Options options_;
    std::optional<ContentFolder> content_;
    QStringList warnings_;
    QSet<QString> laidOutHere_; // the content's files that make lays out itself
    QStringList fromSample_;
    int discNumber_ = 0;
};
