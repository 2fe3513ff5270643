// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

// Keeps a program that brings its own Qt (a qt.conf built into it, as on a disc) to the plugins of
// that Qt: the environment's plugin folders are hidden from Qt while the application object starts,
// where Qt settles its plugin search paths, and given back afterwards, so that the programs the
// menu starts still see them. Another Qt's plugin would not load into the disc's Qt, or worse, half
// load and take the menu down.
class OwnPlugins
{
public:
    OwnPlugins();
    ~OwnPlugins();
    OwnPlugins(const OwnPlugins &) = delete;
    OwnPlugins &operator=(const OwnPlugins &) = delete;

private:
    struct Hidden
    {
        const char *name;
        bool set = false;
        QByteArray value;
    };
    Hidden hidden_[2] = {{"QT_PLUGIN_PATH", false, {}}, {"QT_QPA_PLATFORM_PLUGIN_PATH", false, {}}};
};
