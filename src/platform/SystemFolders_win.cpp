#include "platform/SystemFolders.h"

#include "platform/AnsiText.h"

#include <windows.h>

#include <shlobj.h>

namespace {
QString inFolder(QString folder, const QString &fileName)
{
    if (!folder.endsWith(QLatin1Char('\\')))
        folder.append(QLatin1Char('\\'));
    return folder + fileName;
}

QString windowsFolder()
{
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length > MAX_PATH)
        return {};
    return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length));
}

// The wide call: a user's folder may hold a name the ANSI code page cannot spell.
QString applicationDataFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return {};
    return QString::fromWCharArray(buffer);
}

// Whether the user may write the file at path. Rights decide, not attributes alone, so the file is
// opened for writing (which changes nothing in it); where there is none yet, a file of that name is
// created and deleted again on closing. A read-only file is not writable for anyone, whatever the
// rights say.
bool userMayWrite(const QString &path)
{
    const QByteArray name = AnsiText::Of(path);
    const DWORD attributes = GetFileAttributesA(name.constData());
    HANDLE probe = INVALID_HANDLE_VALUE;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        probe = CreateFileA(name.constData(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    } else if (!(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        probe = CreateFileA(name.constData(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(probe);
    return true;
}
} // namespace

QString SystemFolders::SettingsFile(const QString &fileName)
{
    const QString windows = windowsFolder();
    const QString inWindows = windows.isEmpty() ? QString() : inFolder(windows, fileName);
    if (!inWindows.isEmpty() && userMayWrite(inWindows))
        return inWindows;
    const QString applicationData = applicationDataFolder();
    // Without a folder of the user's own, the Windows folder's file can still be read.
    return applicationData.isEmpty() ? inWindows : inFolder(applicationData, fileName);
}

QString SystemFolders::HardDisk()
{
    return QStringLiteral("C:\\");
}
