#pragma once

#include <QByteArray>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <optional>

// Bounded little-endian reads of untrusted bytes, for the readers of ELF and PE files.
namespace LittleEndian {

// The value at offset within bytes; nothing when bytes end before it.
template <typename T> std::optional<T> at(const QByteArray &bytes, std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(bytes.size()) || bytes.size() - offset < sizeof(T))
        return std::nullopt;
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

// Up to length bytes of bytes from offset, fewer at their end: a whole file read a piece at a time.
inline QByteArray piece(const QByteArray &bytes, std::uint64_t offset, std::uint64_t length)
{
    if (offset >= static_cast<std::uint64_t>(bytes.size()))
        return {};
    return bytes.mid(static_cast<qsizetype>(offset),
                     static_cast<qsizetype>(std::min<std::uint64_t>(length, bytes.size() - offset)));
}

} // namespace LittleEndian
