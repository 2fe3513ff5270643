#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A settings file with the rules of the Windows profile-string calls: section and key names
// compared case-blind, values taken verbatim, the file created by the first write and replaced
// atomically, everything else in it kept. On Windows the files are read and written by those calls.
class ProfileFile
{
public:
    // The longest value a read returns; a longer value is cut to this length.
    static constexpr qsizetype MaxValueLength = 2047;

    // The value of key in section, with surrounding quotes removed; defaultValue when the file, the
    // section or the key is missing or the file cannot be read.
    static QString ReadString(const QString &fileName, const QString &section, const QString &key,
                              const QString &defaultValue);

    // Stores value under key in section, adding the section or the key when missing. Returns false,
    // leaving the file as it was, when the name or value cannot be stored (a line break, a key
    // holding "=" or starting with "["), when the file is not writable (no owner write permission,
    // not a regular file) or when writing fails.
    static bool WriteString(const QString &fileName, const QString &section, const QString &key, const QString &value);

    // Whether value can be stored under key in section: the names not empty, no line break in any
    // of them, no "]" in the section, no "=" in the key and no "[" in front of it.
    static bool CanStore(const QString &section, const QString &key, const QString &value);

    // Whether key, once stored, reads back as the same key: not empty, no "=" or line break inside, no
    // "[" or ";" in front and no blanks at either end.
    static bool CanHoldKey(const QString &key);

    // The same rules on a file's content held in memory: the value found in content, and content with
    // the value stored (nothing when the name or value cannot be stored).
    static QString ValueIn(const QByteArray &content, const QString &section, const QString &key,
                           const QString &defaultValue);
    static std::optional<QByteArray> WithValue(const QByteArray &content, const QString &section, const QString &key,
                                               const QString &value);
};
