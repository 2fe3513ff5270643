// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

// Everything of the sample disc's own that a disc holds where its publisher gives nothing else:
// the description texts, templates, clip art, sounds, installer stand-ins and web pages, each with
// its path on the disc.
namespace SampleContent {

enum class Kind { Text, Template, Picture, Sound, Installer, WebPage };

struct File
{
    QString path; // relative to the disc, '/' between names
    Kind kind;
    QByteArray content;
};

// The files in the order a disc is laid out; the help page names the folder that templates of disc
// discNumber are copied to. Without media, the clip art and sounds (drawn and synthesised anew each
// time) are left out.
QList<File> Files(std::int32_t discNumber, bool media = true);

// Whether a disc still holding a file of this kind is unfinished: it stands in for the publisher's
// own (texts, templates, installers, web pages; not the clip art and sounds, which may stay).
bool StandsIn(Kind kind);

// How a finding calls a file of this kind ("the sample disc's stand-in installer, which installs nothing").
QString Described(Kind kind);

} // namespace SampleContent
