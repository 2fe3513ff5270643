#include "platform/FileOps.h"

#include "platform/AnsiText.h"

#include <QDir>

#include <algorithm>

#include <windows.h>

// The header's names, not the system's macros for its A and W calls.
#undef CopyFile
#undef ReplaceFile

namespace {
DWORD attributesOf(const QString &path)
{
    return AnsiText::Call([](const char *name) { return GetFileAttributesA(name); },
                          [](const wchar_t *name) { return GetFileAttributesW(name); }, QDir::toNativeSeparators(path));
}

bool setAttributes(const QString &path, DWORD attributes)
{
    return AnsiText::Call([attributes](const char *name) { return SetFileAttributesA(name, attributes); },
                          [attributes](const wchar_t *name) { return SetFileAttributesW(name, attributes); },
                          QDir::toNativeSeparators(path));
}

bool deleteFile(const QString &path)
{
    return AnsiText::Call([](const char *name) { return DeleteFileA(name); },
                          [](const wchar_t *name) { return DeleteFileW(name); }, QDir::toNativeSeparators(path));
}

bool exists(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES;
}

// Writes data to a new file of a unique name in folder; the name, or nothing when it cannot.
QString writeNewFile(const QString &folder, const QByteArray &data)
{
    wchar_t name[MAX_PATH] = {};
    const QString nativeFolder = QDir::toNativeSeparators(folder);
    if (!GetTempFileNameW(reinterpret_cast<const wchar_t *>(nativeFolder.utf16()), L"brd", 0, name))
        return {};
    const QString path = QString::fromWCharArray(name);
    const HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool whole = file != INVALID_HANDLE_VALUE &&
                 WriteFile(file, data.constData(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                 written == static_cast<DWORD>(data.size()) && FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE)
        whole = CloseHandle(file) && whole;
    if (!whole) {
        DeleteFileW(name);
        return {};
    }
    return path;
}
} // namespace

bool FileOps::CopyFile(const QString &source, const QString &destination, bool failIfExists)
{
    const DWORD target = attributesOf(destination);
    // A read-only file is not replaced, whoever runs the program.
    if (exists(target) && (failIfExists || (target & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))))
        return false;
    const DWORD from = attributesOf(source);
    if (!exists(from) || (from & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // The system's copy keeps the source's attributes, read-only included.
    const bool copied = AnsiText::Call(
        [failIfExists](const char *from, const char *to) { return CopyFileA(from, to, failIfExists); },
        [failIfExists](const wchar_t *from, const wchar_t *to) { return CopyFileW(from, to, failIfExists); },
        QDir::toNativeSeparators(source), QDir::toNativeSeparators(destination));
    // A copy that broke off leaves no torn file where there was none.
    if (!copied && !exists(target))
        deleteFile(destination);
    return copied;
}

void FileOps::MakeWritable(const QString &path)
{
    const DWORD attributes = attributesOf(path);
    if (!exists(attributes) || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    setAttributes(path, (attributes | FILE_ATTRIBUTE_ARCHIVE) &
                            ~DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

bool FileOps::IsReadOnly(const QString &path)
{
    const DWORD attributes = attributesOf(path);
    return exists(attributes) && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool FileOps::ReplaceFile(const QString &path, const QByteArray &data)
{
    const QString native = QDir::toNativeSeparators(path);
    const DWORD existing = attributesOf(native);
    if (exists(existing) && (existing & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return false;
    const QString folder = native.left(native.lastIndexOf(QLatin1Char('\\')) + 1);
    const QString written = writeNewFile(folder.isEmpty() ? QStringLiteral(".") : folder, data);
    if (written.isEmpty())
        return false;
    // The new content takes the old file's place in one step; an existing file keeps its
    // attributes and rights.
    const auto *from = reinterpret_cast<const wchar_t *>(written.utf16());
    const auto *to = reinterpret_cast<const wchar_t *>(native.utf16());
    const bool replaced = exists(existing)
                              ? ReplaceFileW(to, from, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                              : MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced)
        DeleteFileW(from);
    return replaced;
}

QStringList FileOps::ListFiles(const QString &folder, const QString &pattern)
{
    const DWORD folderAttributes = folder.isEmpty() ? INVALID_FILE_ATTRIBUTES : attributesOf(folder);
    if (!exists(folderAttributes) || !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    // Listed by the wide call: a name the ANSI code page cannot spell is listed as it is.
    const QString all = QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("*")));
    WIN32_FIND_DATAW entry = {};
    const HANDLE search = FindFirstFileW(reinterpret_cast<const wchar_t *>(all.utf16()), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    QStringList names;
    constexpr DWORD notListed = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        const QString name = QString::fromWCharArray(entry.cFileName);
        if (!(entry.dwFileAttributes & notListed) && QDir::match(pattern, name))
            names.append(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}
