// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

// One thing a check finds wrong with a disc: an error keeps the menu from working, a warning
// spoils it.
struct Finding
{
    bool error = false;
    QString path; // relative to the disc
    QString what;

    // "error: <path>: <what>" or "warning: <path>: <what>", control characters escaped.
    QString Line() const;
};
