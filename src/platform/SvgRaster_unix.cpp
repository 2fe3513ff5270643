// SPDX-License-Identifier: MIT
#include "platform/SvgRaster.h"

#include <QByteArray>
#include <QFile>
#include <QScopeGuard>
#include <QSize>
#include <QString>

#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <optional>

// The renderer is gdk-pixbuf, whose SVG loader is librsvg's: every desktop that draws SVG icon
// themes with GTK has both. It is loaded when the first SVG is drawn rather than linked, so the
// program needs nothing of GLib to start, reads none of it before its window shows, and still
// starts where the desktop lacks it (the icons then stay the theme's bitmaps). Qt's own SVG module
// is not part of the disc's Qt: the disc carries the Debian sources of every Qt part it ships, and
// the archive the disc's Qt is built from does not offer that module's source.
namespace {
struct Loader;
struct Pixbuf;
struct GError;
using Boolean = int;
using Callback = void (*)();

struct PixbufCalls
{
    Loader *(*newLoader)(const char *, GError **) = nullptr;
    void (*setSize)(Loader *, int, int) = nullptr;
    Boolean (*write)(Loader *, const unsigned char *, std::size_t, GError **) = nullptr;
    Boolean (*close)(Loader *, GError **) = nullptr;
    const Pixbuf *(*result)(Loader *) = nullptr;
    unsigned long (*connect)(void *, const char *, Callback, void *, void (*)(void *, void *), int) = nullptr;
    const unsigned char *(*pixels)(const Pixbuf *) = nullptr;
    int (*rowStride)(const Pixbuf *) = nullptr;
    int (*channels)(const Pixbuf *) = nullptr;
    Boolean (*hasAlpha)(const Pixbuf *) = nullptr;
    int (*width)(const Pixbuf *) = nullptr;
    int (*height)(const Pixbuf *) = nullptr;
    void (*unref)(void *) = nullptr;
};

template <typename Function> bool Resolve(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

std::optional<PixbufCalls> LoadPixbuf()
{
    void *library = dlopen("libgdk_pixbuf-2.0.so.0", RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return std::nullopt;
    PixbufCalls calls;
    // The calls of GObject come through the library's own dependencies.
    if (Resolve(library, "gdk_pixbuf_loader_new_with_type", calls.newLoader) &&
        Resolve(library, "gdk_pixbuf_loader_set_size", calls.setSize) &&
        Resolve(library, "gdk_pixbuf_loader_write", calls.write) &&
        Resolve(library, "gdk_pixbuf_loader_close", calls.close) &&
        Resolve(library, "gdk_pixbuf_loader_get_pixbuf", calls.result) &&
        Resolve(library, "g_signal_connect_data", calls.connect) &&
        Resolve(library, "gdk_pixbuf_get_pixels", calls.pixels) &&
        Resolve(library, "gdk_pixbuf_get_rowstride", calls.rowStride) &&
        Resolve(library, "gdk_pixbuf_get_n_channels", calls.channels) &&
        Resolve(library, "gdk_pixbuf_get_has_alpha", calls.hasAlpha) &&
        Resolve(library, "gdk_pixbuf_get_width", calls.width) &&
        Resolve(library, "gdk_pixbuf_get_height", calls.height) && Resolve(library, "g_object_unref", calls.unref))
        return calls;
    dlclose(library);
    return std::nullopt;
}

const PixbufCalls *Pixbufs()
{
    static const std::optional<PixbufCalls> calls = LoadPixbuf();
    return calls ? &*calls : nullptr;
}

// The size to draw at, set once the loader knows the drawing's own proportions.
struct Fit
{
    const PixbufCalls *calls;
    QSize size;
};

void SizePrepared(Loader *loader, int width, int height, void *data)
{
    const Fit *fit = static_cast<const Fit *>(data);
    const QSize own(width, height);
    const QSize fitted = own.isEmpty() ? fit->size : own.scaled(fit->size, Qt::KeepAspectRatio);
    fit->calls->setSize(loader, std::max(1, fitted.width()), std::max(1, fitted.height()));
}
} // namespace

QImage SvgRaster::Render(const QString &path, const QSize &size)
{
    const PixbufCalls *calls = Pixbufs();
    QFile file(path);
    if (!calls || size.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray svg = file.readAll();
    Fit fit{calls, size};
    // The type is named rather than guessed from the content, which would rest on the desktop's
    // MIME database; no loader comes where gdk-pixbuf has no SVG loader.
    Loader *loader = calls->newLoader("svg", nullptr);
    if (!loader)
        return {};
    const auto release = qScopeGuard([calls, loader] { calls->unref(loader); });
    calls->connect(loader, "size-prepared", reinterpret_cast<Callback>(&SizePrepared), &fit, nullptr, 0);
    const bool written =
        calls->write(loader, reinterpret_cast<const unsigned char *>(svg.constData()), svg.size(), nullptr);
    // A loader is closed before it goes, whether the drawing succeeded or not.
    const bool closed = calls->close(loader, nullptr);
    const Pixbuf *pixbuf = written && closed ? calls->result(loader) : nullptr;
    if (!pixbuf)
        return {};
    // Rows of 8-bit samples in the order red, green, blue and, where present, unpremultiplied alpha.
    const bool alpha = calls->hasAlpha(pixbuf);
    if (calls->channels(pixbuf) != (alpha ? 4 : 3))
        return {};
    const QImage pixels(calls->pixels(pixbuf), calls->width(pixbuf), calls->height(pixbuf), calls->rowStride(pixbuf),
                        alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    return pixels.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
