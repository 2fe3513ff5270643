// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Finding.h"

#include <QHash>
#include <QList>
#include <QString>

// What the checks of one disc find, bounded whatever the disc holds: at most a few findings a
// path, its path cut to a readable length, and at most a few hundred errors and as many warnings in
// all. What is left out is counted: after a path's last finding, and at the end.
class FindingList
{
public:
    static constexpr qsizetype PerPath = 5;
    static constexpr qsizetype MaxEach = 500; // errors, and warnings

    void Add(bool error, const QString &path, const QString &what);
    void Add(const Finding &finding) { Add(finding.error, finding.path, finding.what); }

    // The errors, then the warnings, each in the order added, with the counts of those left out.
    QList<Finding> Findings() const;

private:
    struct PathCount
    {
        qsizetype added = 0;
        qsizetype leftOut = 0;
        bool errorLeftOut = false;
        qsizetype last = -1; // the place of its last finding kept
    };

    QList<Finding> kept_;
    QHash<QString, PathCount> paths_;
    qsizetype keptErrors_ = 0;
    qsizetype leftOut_ = 0;
    bool errorLeftOut_ = false;
};
