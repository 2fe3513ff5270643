#pragma once

#include "RuntimeCheck.h"

#include <QList>
#include <QString>
#include <QStringList>

// Whether a disc's runtime carries what the licences of its contents require to travel with them:
// Qt's licence texts, the notice of how the disc's Qt was changed, Qt's source, and the fonts'
// licence. It works on the names of the runtime's files, so that a folder and an image are checked
// alike.
class LicenceCheck
{
public:
    // files: the runtime folder's files, relative to it ("lib/libQt6Core.so.6"), in any letter case.
    explicit LicenceCheck(QStringList files);

    // The problems, each with its path relative to the disc.
    QList<RuntimeCheck::Problem> Inspect() const;

private:
    // Whether a file matches the wildcard pattern (relative to the runtime folder), case-blind as the
    // menu finds names.
    bool has(const QString &pattern) const;

    QStringList files_;
};
