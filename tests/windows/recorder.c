/* A stand-in for the programs Windows starts for the menu (installers, the browser, the word
   processor, the folder window): it appends its own path, its working folder and its command line
   to the file named by BRINDLE_RECORD_LOG, as one line "program|folder|command line", and ends. */
#include <stdio.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR arguments, int show)
{
    (void)instance;
    (void)previous;
    (void)show;
    wchar_t log[MAX_PATH];
    wchar_t folder[MAX_PATH];
    wchar_t program[MAX_PATH];
    if (!GetEnvironmentVariableW(L"BRINDLE_RECORD_LOG", log, MAX_PATH) || !GetCurrentDirectoryW(MAX_PATH, folder) ||
        !GetModuleFileNameW(NULL, program, MAX_PATH))
        return 1;
    HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    wchar_t line[4 * MAX_PATH] = {0};
    _snwprintf(line, sizeof line / sizeof *line - 1, L"%ls|%ls|%ls\n", program, folder, arguments);
    char utf8[16 * MAX_PATH];
    const int length = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof utf8, NULL, NULL);
    DWORD written = 0;
    const BOOL ok = length > 1 && WriteFile(file, utf8, (DWORD)(length - 1), &written, NULL);
    CloseHandle(file);
    return ok ? 0 : 1;
}
