#pragma once

#include <QString>
#include <QStringList>

// Masters a disc folder as a publisher would: artwork, texts, templates, pictures, sounds,
// installers, web pages, the menu program under the disc's name and the script that starts it.
class DiscMaker
{
public:
    struct Options
    {
        QString folder;  // the disc folder to create; it must not exist or be empty
        QString program; // the menu program to copy onto the disc
        QString windowsProgram; // the Windows menu program, copied as the program's name + ".exe"; may be empty
        QString art;     // a folder holding Files/Interface/<scheme>/MainBack.bmp and Files/Sample Pics/Sampleware.bmp
        QString name = QStringLiteral("CD07"); // the program's name on the disc: its digits give the disc number
    };

    explicit DiscMaker(Options options);

    // Lays out the whole disc and returns what the publisher should know (warnings). Raises
    // EDiscError and leaves no disc folder behind when anything fails.
    QStringList Make();

    // One line saying what was made: disc number, colour scheme, folder.
    QString Summary() const;

private:
    void validate();
    void writeDisc(const QString &root) const;

    Options options_;
    QStringList warnings_;
    int discNumber_ = 0;
};
