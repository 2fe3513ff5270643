// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

// How the disc tool shows text that comes from a disc (names, link targets, what a file names):
// as it stands, but for what would move a terminal's cursor, forge a line or run on for pages.
namespace ShownText {

// text with its control characters written as escapes: "\n", "\r", "\t", "\x1b" and the like
// below U+0020 and for U+007F, "\u009b" and the like for the other controls and for the marks
// that turn the direction of text.
QString Escaped(const QString &text);

// text as it stands up to MaxLength characters; a longer one cut in the middle, at "...".
QString Cut(const QString &text);

constexpr qsizetype MaxLength = 160;

} // namespace ShownText
