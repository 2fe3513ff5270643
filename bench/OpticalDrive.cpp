// SPDX-License-Identifier: MIT
#include "OpticalDrive.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The figures of the model, as the Red Book and the data sheets of 48x to 52x drives give them.
constexpr double SectorBytes = 2048;
constexpr double SectorsPerSecondAt1x = 75;
// The program area starts at a radius of at most 25 mm and ends at most at 58 mm; a small disc's
// data lies near the inner edge.
constexpr double InnerRadius = 0.025;
constexpr double OuterRadius = 0.058;
// 1x scanning velocity (1.2 to 1.4 m/s) and track pitch (1.5 to 1.7 um): the lowest velocity and
// the nominal pitch put 74 minutes of sectors between the two radii above.
constexpr double ScanningVelocity = 1.2;
constexpr double TrackPitch = 1.6e-6;
// Constant angular velocity rated at the outer edge: 48x there, about 20.7x at the inner edge
// (3.2 MB/s).
constexpr double RatedSpeed = 48;
// An access that moves the head across the whole program area takes about 150 ms; one over a
// third of it (the data sheets' "average access") about 95 ms; a short jump, with focus and
// tracking settling and half a turn of the disc (3 ms at about 9,500 rpm), about 20 ms.
constexpr double ShortestAccess = 0.020;
constexpr double FullStrokeAccess = 0.150;
// The drive's buffer (2 MB on most 48x drives): it keeps the last bytes read from the surface,
// and the drive reads on into it while no request is waiting, until it holds that much unread.
constexpr std::int64_t BufferBytes = 2 * 1024 * 1024;
// What the host receives from the buffer through ATAPI (UDMA/33) or USB 2.0.
constexpr double InterfaceRate = 30e6;

} // namespace

double OpticalDrive::Radius(std::int64_t offset)
{
    const double sectors = double(std::max<std::int64_t>(offset, 0)) / SectorBytes;
    const double areaPerSector = ScanningVelocity / SectorsPerSecondAt1x * TrackPitch;
    return std::sqrt(InnerRadius * InnerRadius + sectors * areaPerSector / std::numbers::pi);
}

double OpticalDrive::SurfaceRate(std::int64_t offset)
{
    return RatedSpeed * SectorsPerSecondAt1x * SectorBytes * Radius(offset) / OuterRadius;
}

double OpticalDrive::AccessTime(std::int64_t from, std::int64_t to)
{
    const double distance = std::abs(Radius(to) - Radius(from));
    return ShortestAccess + (FullStrokeAccess - ShortestAccess) * std::sqrt(distance / (OuterRadius - InnerRadius));
}

void OpticalDrive::ReadAhead(double now)
{
    if (now <= idleSince_ || bufferEnd_ <= bufferStart_)
        return;
    const auto readable = std::int64_t((now - idleSince_) * SurfaceRate(head_));
    bufferEnd_ = std::max(bufferEnd_, std::min(head_ + readable, lastServedEnd_ + BufferBytes));
    bufferStart_ = std::max(bufferStart_, bufferEnd_ - BufferBytes);
    head_ = bufferEnd_;
    idleSince_ = now;
}

double OpticalDrive::Read(std::int64_t offset, std::int64_t length, double now)
{
    ReadAhead(now);
    const std::int64_t end = offset + length;
    const double rate = SurfaceRate(offset);
    double seconds = 0;
    if (offset >= bufferStart_ && end <= bufferEnd_) {
        ++figures_.BufferHits;
        seconds = double(length) / InterfaceRate;
        figures_.ReadSeconds += seconds;
    } else if (offset >= bufferStart_ && double(offset - bufferEnd_) / rate < AccessTime(head_, offset)) {
        // Within the buffer, or so little ahead of it that reading on is quicker than an access:
        // the head reads on without moving.
        ++figures_.Continued;
        seconds = double(end - bufferEnd_) / rate;
        figures_.ReadSeconds += seconds;
        bufferEnd_ = end;
    } else {
        ++figures_.Seeks;
        const double access = AccessTime(head_, offset);
        figures_.SeekSeconds += access;
        figures_.ReadSeconds += double(length) / rate;
        seconds = access + double(length) / rate;
        bufferStart_ = offset;
        bufferEnd_ = end;
    }
    bufferStart_ = std::max(bufferStart_, bufferEnd_ - BufferBytes);
    head_ = bufferEnd_;
    lastServedEnd_ = end;
    idleSince_ = now + seconds;
    ++figures_.Requests;
    figures_.Bytes += length;
    return seconds;
}
