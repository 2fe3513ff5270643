// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// A model of a 48x CAV CD-ROM drive reading a data disc: what one read request costs, given where
// the head is, what the drive's buffer holds and how long the drive has been idle. It keeps the
// drive's state and counts what it served; the caller waits the cost it returns.
class OpticalDrive
{
public:
    struct Figures
    {
        std::int64_t Requests = 0;
        std::int64_t Bytes = 0;
        std::int64_t BufferHits = 0; // served whole from the drive's buffer
        std::int64_t Continued = 0;  // read on from where the head was, no access
        std::int64_t Seeks = 0;
        double SeekSeconds = 0;
        double ReadSeconds = 0; // reading from the disc's surface and transfers from the buffer
        double BusySeconds() const { return SeekSeconds + ReadSeconds; }
    };

    // The disc's radius, in metres, at a byte of its data track (the image's first byte lies at
    // the program area's start).
    static double Radius(std::int64_t offset);
    // Bytes a second read from the surface at a byte of the data track.
    static double SurfaceRate(std::int64_t offset);
    // Seconds to move the head from one byte of the track to another and find its sector.
    static double AccessTime(std::int64_t from, std::int64_t to);

    // Serves [offset, offset + length) at the moment `now` (seconds on any steady clock, never
    // going back) and returns the seconds the request takes.
    double Read(std::int64_t offset, std::int64_t length, double now);

    const Figures &Served() const { return figures_; }

private:
    void ReadAhead(double now);

    // What the buffer holds: the bytes [bufferStart_, bufferEnd_) of the track, read in one sweep;
    // the head stands at bufferEnd_ and reads on while the drive is idle.
    std::int64_t bufferStart_ = 0;
    std::int64_t bufferEnd_ = 0;
    std::int64_t head_ = 0;
    std::int64_t lastServedEnd_ = 0;
    double idleSince_ = 0;
    bool spinning_ = false;
    Figures figures_;
};
