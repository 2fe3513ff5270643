#pragma once

#include <QByteArray>
#include <QStringList>

// What the dynamic loader reads from a 64-bit little-endian ELF file: the libraries it needs and
// where it looks for them.
struct ElfDynamic
{
    bool valid = false;  // false: not such an ELF file, or its dynamic section cannot be read
    QStringList needed;  // DT_NEEDED, in order
    QStringList runpath; // DT_RUNPATH, or DT_RPATH when there is none, split at ':'

    // Reads the dynamic section of bytes (a whole file); never throws.
    static ElfDynamic Read(const QByteArray &bytes);
};
