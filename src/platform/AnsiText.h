#pragma once

#include <QByteArray>
#include <QString>

// Texts for the Windows calls that take 8-bit strings in the system's ANSI code page. A text that
// code page cannot spell (a file name in another script) would reach such a call mangled, so it
// goes to the call's wide form instead.
namespace AnsiText {

// The text in the ANSI code page (the local 8-bit encoding on Windows).
inline QByteArray Of(const QString &text)
{
    return text.toLocal8Bit();
}

// Whether the text comes back unchanged from the ANSI code page.
inline bool Holds(const QString &text)
{
    return QString::fromLocal8Bit(text.toLocal8Bit()) == text;
}

// Calls ansi with the texts in the ANSI code page where it holds them all, otherwise wide with
// them as wide strings; both get zero-terminated strings that live until the call returns.
template <typename AnsiCall, typename WideCall, typename... Texts>
auto Call(AnsiCall ansi, WideCall wide, const Texts &...texts)
{
    if ((Holds(texts) && ...))
        return ansi(Of(texts).constData()...);
    return wide(reinterpret_cast<const wchar_t *>(texts.utf16())...);
}

} // namespace AnsiText
