#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>

// What a run of a command-line program left: its exit status and what it printed.
struct ToolOutcome
{
    int status = -1;   // -1: it crashed or did not end in time
    QStringList lines; // standard output, one entry a line
    QString errors;    // standard error
};

// Runs program with arguments. shellPrefix, when given, is shell code run first in the same shell
// ("ulimit -f 100;", "VAR=value"); wrapper, when given, is a command the program runs under
// ("setpriv --reuid=65534 ..."). Waits at most timeoutMs.
ToolOutcome RunTool(const QString &program, const QStringList &arguments, const QString &shellPrefix = {},
                    const QStringList &wrapper = {}, int timeoutMs = 120000);

// The outcome without the warnings every disc made from the sample earns: its stand-ins, its Setup.exe alone.
ToolOutcome WithoutStandIns(ToolOutcome outcome);

// Writes a whole file, creating its folders; false when it cannot.
bool WriteFile(const QString &path, const QByteArray &content);

// A picture of one colour in the given format's bytes.
QByteArray BitmapBytes(int width, int height, const QColor &colour, const char *format = "BMP");

// The artwork folder of a disc as the generator lays it out: the four backdrops and the sample picture.
bool WriteDiscArt(const QString &art);

// A minimal 64-bit little-endian ELF file as the dynamic loader reads it: one loadable segment
// holding the whole file and a dynamic section naming the libraries it needs and its search paths.
// machine: 62 for x86-64. Padded with zeros to at least size bytes.
QByteArray ElfFile(const QStringList &needed, const QString &rpath = {}, const QString &runpath = {},
                   std::uint16_t machine = 62, qsizetype size = 0);

// A minimal 64-bit PE file as the Windows loader reads it: one section holding an import table
// naming the DLLs it needs and, when given, a manifest as resource type 24, number 1. machine:
// 0x8664 for x86-64.
QByteArray PeFile(const QStringList &imports, const QByteArray &manifest = {}, std::uint16_t machine = 0x8664);

// A manifest of the assembly name, listing its files and the assemblies it depends on; and the
// Windows program's, which depends on Windows' common controls and the private assembly Runtime.
QByteArray Manifest(const QString &name, const QStringList &files, const QStringList &dependencies);
QByteArray ProgramManifest();

// Writes stand-ins for what a runtime carrying Qt and the fonts must hold beside them: the licences
// and notices, and Qt's source. False when a file cannot be written.
bool WriteRuntimeLicences(const QString &runtime);

// A Windows program laid out in folder as the build does: brindlemoor.exe needing Qt's DLLs from the
// private assembly Runtime\, the platform plugin needing helper.dll beside it, a font both
// systems' runtimes carry, and the licences and source that go with them. The program's path; empty
// when it could not be written.
QString WriteWindowsProgram(const QString &folder);
