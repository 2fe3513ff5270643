#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// What the Windows loader reads from a PE file (a Windows program or DLL) before it runs: the
// machine it is for, the DLLs its import table names and the manifest it carries.
struct PeImports
{
    // Up to length bytes of the file from offset, fewer at its end.
    using Reader = std::function<QByteArray(std::uint64_t offset, std::uint64_t length)>;

    bool pe = false; // starts as a PE file: "MZ" and a "PE\0\0" header where that points
    std::uint16_t machine = 0;
    bool valid = false;  // false: not a PE file, or its import table or resources cannot be read
    QString problem;     // why it is not valid
    QStringList imports; // the DLLs of the import table, as written, in order
    QByteArray manifest; // the manifest a program starts with (resource type 24, number 1); empty when none

    // Reads the headers, the import table and the resource tree a piece at a time, each piece
    // bounded whatever the file claims. Raises only what read raises.
    static PeImports Read(const Reader &read);
    // The same over a whole file's bytes; never throws.
    static PeImports Read(const QByteArray &bytes);

    // "x86-64", "x86", "ARM64", ... for the machine number.
    static QString MachineName(std::uint16_t machine);
};
