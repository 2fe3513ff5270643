// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DiscChecker.h"
#include "DiscTree.h"

#include <QHash>
#include <QList>
#include <QString>

#include <vector>

class ImageReader;

// The files a start of the menu reads from its disc before the window shows, in the order it reads
// them (packaging/runtime/start-order.txt, recorded from starts of the sample disc): an image lays
// them out together in that order, so that a drive reads them in one sweep rather than seeking
// between them.
class StartOrder
{
public:
    // The start-up files that disc holds, in layout order: the Linux program's start first, then
    // what the Windows program's start reads besides.
    explicit StartOrder(const DiscTree &disc);

    const std::vector<const DiscTree::Entry *> &Files() const { return files_; }

    // The weight that places the file in the image: higher first, 0 for files not read at start.
    int Weight(const DiscTree::Entry &file) const;

    // Where an image holds its start-up files apart: one warning saying in how many places they
    // lie, how far apart in all, and where the widest gap is.
    static QList<DiscChecker::Finding> Apart(const ImageReader &image);

    // The list's lines for one system ("linux" or "windows"), placeholders as written.
    static QStringList Listed(const QString &system);

    // Gaps up to this size are read through faster than a drive seeks over them.
    static constexpr qint64 ReadThrough = 256 * 1024;

private:
    void add(const QString &path);

    const DiscTree &disc_;
    std::vector<const DiscTree::Entry *> files_;
    QHash<const DiscTree::Entry *, int> rank_;
};
