// SPDX-License-Identifier: GPL-2.0-or-later
#include "ShownText.h"

#include <algorithm>

namespace {

bool controls(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x200e || c == 0x200f || (c >= 0x2028 && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069);
}

} // namespace

namespace ShownText {

QString Escaped(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return controls(c.unicode()); }))
        return text;
    QString shown;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (!controls(code))
            shown += c;
        else if (code == u'\n')
            shown += QStringLiteral("\\n");
        else if (code == u'\r')
            shown += QStringLiteral("\\r");
        else if (code == u'\t')
            shown += QStringLiteral("\\t");
        else if (code <= 0x7f)
            shown += QStringLiteral("\\x") + QString::number(code, 16).rightJustified(2, u'0');
        else
            shown += QStringLiteral("\\u") + QString::number(code, 16).rightJustified(4, u'0');
    }
    return shown;
}

QString Cut(const QString &text)
{
    if (text.size() <= MaxLength)
        return text;
    const QString gap = QStringLiteral("...");
    qsizetype head = (MaxLength - gap.size()) * 2 / 3;
    qsizetype tail = MaxLength - gap.size() - head;
    // Neither half keeps one half of a character written as two.
    if (text.at(head - 1).isHighSurrogate())
        --head;
    if (text.at(text.size() - tail).isLowSurrogate())
        --tail;
    return text.left(head) + gap + text.right(tail);
}

} // namespace ShownText
