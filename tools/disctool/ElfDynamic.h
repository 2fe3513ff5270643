#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// What the dynamic loader reads from an ELF file: the machine and class it is for, the libraries it
// needs and where it looks for them (the libraries' names are read from 64-bit little-endian files).
struct ElfDynamic
{
    // Up to length bytes of the file from offset, fewer at its end.
    using Reader = std::function<QByteArray(std::uint64_t offset, std::uint64_t length)>;

    bool elf = false; // starts as an ELF file
    int bits = 0;     // 32 or 64; 0 when the class byte is neither
    std::uint16_t machine = 0;
    bool valid = false;  // false: not such an ELF file, or its dynamic section cannot be read
    QString problem;     // why it is not valid
    QStringList needed;  // DT_NEEDED, in order
    QStringList rpath;   // DT_RPATH, split at ':'
    QStringList runpath; // DT_RUNPATH, split at ':'

    // Reads the header and the dynamic section a piece at a time, each piece bounded whatever the
    // file claims. Raises only what read raises.
    static ElfDynamic Read(const Reader &read);
    // The same over a whole file's bytes; never throws.
    static ElfDynamic Read(const QByteArray &bytes);

    // "x86-64", "AArch64", ... for the machine number.
    static QString MachineName(std::uint16_t machine);
};
