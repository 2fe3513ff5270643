// SPDX-License-Identifier: GPL-2.0-or-later
#include "FindingList.h"

#include "ShownText.h"

#include <algorithm>

void FindingList::Add(bool error, const QString &path, const QString &what)
{
    const QString shown = ShownText::Cut(path);
    PathCount &count = paths_[shown];
    if (count.added == PerPath) {
        ++count.leftOut;
        count.errorLeftOut = count.errorLeftOut || error;
        return;
    }
    const qsizetype same = error ? keptErrors_ : kept_.size() - keptErrors_;
    if (same == MaxEach) {
        ++leftOut_;
        errorLeftOut_ = errorLeftOut_ || error;
        return;
    }
    ++count.added;
    count.last = kept_.size();
    keptErrors_ += error ? 1 : 0;
    kept_.append({error, shown, what});
}

QList<Finding> FindingList::Findings() const
{
    QList<Finding> all;
    for (qsizetype at = 0; at < kept_.size(); ++at) {
        const Finding &finding = kept_.at(at);
        all.append(finding);
        const PathCount &count = paths_.value(finding.path);
        if (count.last == at && count.leftOut > 0)
            all.append({count.errorLeftOut, finding.path, QStringLiteral("... and %1 more").arg(count.leftOut)});
    }
    if (leftOut_ > 0)
        all.append({errorLeftOut_, QStringLiteral("./"),
                     QStringLiteral("... and %1 more findings, left out").arg(leftOut_)});
    std::stable_partition(all.begin(), all.end(), [](const Finding &f) { return f.error; });
    return all;
}
