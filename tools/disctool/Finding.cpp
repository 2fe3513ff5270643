// SPDX-License-Identifier: GPL-2.0-or-later
#include "Finding.h"

#include "ShownText.h"

QString Finding::Line() const
{
    return (error ? QStringLiteral("error: ") : QStringLiteral("warning: ")) + ShownText::Escaped(path) +
           QStringLiteral(": ") + ShownText::Escaped(what);
}
