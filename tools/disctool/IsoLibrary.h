#pragma once

// The image is read from libisofs's own burn source; libburn itself is not used.
#define LIBISOFS_WITHOUT_LIBBURN
#include <cstdint>
#include <sys/types.h>

#include <libisofs.h>

#include <memory>

class QString;

// What the disc tool shares around libisofs: starting the library once, owning its objects, and
// telling its error codes in words.
namespace IsoLibrary {

// Starts the library once per process: names in UTF-8, its own messages kept quiet (the tool
// reports failures itself).
void Start();

// The library's explanation of an error code.
QString Describe(int code);

struct Release
{
    void operator()(IsoImage *image) const { iso_image_unref(image); }
    void operator()(IsoWriteOpts *options) const { iso_write_opts_free(options); }
    void operator()(IsoReadOpts *options) const { iso_read_opts_free(options); }
    void operator()(IsoDataSource *source) const { iso_data_source_unref(source); }
    void operator()(IsoReadImageFeatures *features) const { iso_read_image_features_destroy(features); }
    void operator()(IsoDirIter *iterator) const { iso_dir_iter_free(iterator); }
};

template <typename T> using Owned = std::unique_ptr<T, Release>;

} // namespace IsoLibrary
