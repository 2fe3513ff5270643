// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

class QThread;

// Connects to the desktop's session bus on a thread of its own while the program starts. Qt's
// accessibility bridge connects to that bus when the first control is named, and would otherwise
// wait on the main thread for the connection, or on a desktop without a bus for the attempt to
// start one. Where the system has no such bus, it does nothing.
class SessionBus
{
public:
    // Starts connecting; the application object must exist.
    SessionBus();
    // Waits for the attempt to end.
    ~SessionBus();
    SessionBus(const SessionBus &) = delete;
    SessionBus &operator=(const SessionBus &) = delete;

private:
    std::unique_ptr<QThread> thread_;
};
