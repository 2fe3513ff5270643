#include "platform/ProfileFile.h"

#include "platform/AnsiText.h"
#include "platform/FileOps.h"

#include <QDir>

#include <windows.h>

namespace {
// Reading drops a value's surrounding blanks and one pair of quotes around it: such a value is
// stored within quotes, so that it reads back as it was written.
QString storedForm(const QString &value)
{
    const bool quoted = value.size() >= 2 &&
                        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
                        value.back() == value.front();
    if (quoted || value.trimmed() != value)
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}
} // namespace

QString ProfileFile::ReadString(const QString &fileName, const QString &section, const QString &key,
                                const QString &defaultValue)
{
    if (fileName.isEmpty())
        return defaultValue;
    return AnsiText::Call(
        [](const char *file, const char *sectionName, const char *keyName, const char *fallback) {
            char buffer[MaxValueLength + 1] = {};
            const DWORD length = GetPrivateProfileStringA(sectionName, keyName, fallback, buffer, sizeof buffer, file);
            return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length));
        },
        [](const wchar_t *file, const wchar_t *sectionName, const wchar_t *keyName, const wchar_t *fallback) {
            wchar_t buffer[MaxValueLength + 1] = {};
            const DWORD length =
                GetPrivateProfileStringW(sectionName, keyName, fallback, buffer, MaxValueLength + 1, file);
            return QString::fromWCharArray(buffer, static_cast<qsizetype>(length));
        },
        QDir::toNativeSeparators(fileName), section.trimmed(), key.trimmed(), defaultValue);
}

bool ProfileFile::WriteString(const QString &fileName, const QString &section, const QString &key, const QString &value)
{
    if (fileName.isEmpty() || !CanStore(section, key, value))
        return false;
    const QString file = QDir::toNativeSeparators(fileName);
    // A read-only settings file is not written, whoever runs the program; the profile call itself
    // would write it for an administrator.
    if (FileOps::IsReadOnly(file))
        return false;
    if (!FileOps::FileExists(file) && !FileOps::ForceDirectories(file.left(file.lastIndexOf(QLatin1Char('\\')) + 1)))
        return false;
    return AnsiText::Call(
        [](const char *sectionName, const char *keyName, const char *text, const char *path) {
            return WritePrivateProfileStringA(sectionName, keyName, text, path) != FALSE;
        },
        [](const wchar_t *sectionName, const wchar_t *keyName, const wchar_t *text, const wchar_t *path) {
            return WritePrivateProfileStringW(sectionName, keyName, text, path) != FALSE;
        },
        section.trimmed(), key.trimmed(), storedForm(value), file);
}
