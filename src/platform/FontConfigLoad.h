// SPDX-License-Identifier: MIT
#pragma once

#include <thread>

// Reads the system's font configuration on a thread of its own while Qt starts, so that the font
// database, first used when the program installs its fonts, finds it read. Where the system keeps
// no such configuration, it does nothing.
class FontConfigLoad
{
public:
    FontConfigLoad();
    ~FontConfigLoad();
    FontConfigLoad(const FontConfigLoad &) = delete;
    FontConfigLoad &operator=(const FontConfigLoad &) = delete;

    // Waits until the configuration is read: the font database would otherwise read it again.
    void Wait();

private:
    std::thread thread_;
};
