#pragma once

#include <QApplication>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The application object a fuzz target needs for pictures and widgets, made once, offscreen.
inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    (void)app;
}

inline QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}
