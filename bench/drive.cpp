// SPDX-License-Identifier: MIT
// A disc image in a modelled 48x CD-ROM drive: serves the image as one file through FUSE, every
// read delayed by what the drive would take for it (OpticalDrive), one request at a time. The
// kernel's page cache and read-ahead stand between the drive and its reader, as for a disc's device. A file
// "figures" beside it tells what the drive served so far.
//   brindle_drive [--log FILE] IMAGE MOUNTPOINT [FUSE options, e.g. -f]
// The image appears as MOUNTPOINT/<its file name>; mount it with an ISO 9660 reader (fuseiso) to
// start a program from it as from a disc in a drive.

#define FUSE_USE_VERSION 31

#include "OpticalDrive.h"

#include <fuse.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *FiguresName = "figures";

struct Drive
{
    int image = -1;
    std::string name;
    off_t size = 0;
    OpticalDrive model;
    std::FILE *log = nullptr;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

    double Now() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); }
};

Drive TheDrive;

std::string FiguresText()
{
    const auto &f = TheDrive.model.Served();
    char text[512];
    std::snprintf(text, sizeof text,
                  "requests %lld\nbytes %lld\nbuffer_hits %lld\ncontinued %lld\nseeks %lld\n"
                  "seek_seconds %.3f\nread_seconds %.3f\nbusy_seconds %.3f\n",
                  static_cast<long long>(f.Requests), static_cast<long long>(f.Bytes),
                  static_cast<long long>(f.BufferHits), static_cast<long long>(f.Continued),
                  static_cast<long long>(f.Seeks), f.SeekSeconds, f.ReadSeconds, f.BusySeconds());
    return text;
}

void *Init(fuse_conn_info *, fuse_config *config)
{
    config->attr_timeout = 0;
    config->entry_timeout = 0;
    return nullptr;
}

int GetAttr(const char *path, struct stat *st, fuse_file_info *)
{
    std::memset(st, 0, sizeof *st);
    if (std::strcmp(path, "/") == 0) {
        st->st_mode = S_IFDIR | 0555;
        st->st_nlink = 2;
    } else if (path + 1 == TheDrive.name) {
        st->st_mode = S_IFREG | 0444;
        st->st_size = TheDrive.size;
    } else if (std::strcmp(path + 1, FiguresName) == 0) {
        st->st_mode = S_IFREG | 0444;
        st->st_size = off_t(FiguresText().size());
    } else {
        return -ENOENT;
    }
    st->st_nlink = std::max<nlink_t>(st->st_nlink, 1);
    return 0;
}

int ReadDir(const char *path, void *buffer, fuse_fill_dir_t fill, off_t, fuse_file_info *, fuse_readdir_flags)
{
    if (std::strcmp(path, "/") != 0)
        return -ENOENT;
    for (const char *entry : {".", "..", TheDrive.name.c_str(), FiguresName})
        fill(buffer, entry, nullptr, 0, fuse_fill_dir_flags{});
    return 0;
}

int Open(const char *path, fuse_file_info *info)
{
    if (path + 1 != TheDrive.name && std::strcmp(path + 1, FiguresName) != 0)
        return -ENOENT;
    if ((info->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    // The image is read through the kernel's page cache, as a disc's device is: its read-ahead
    // makes the drive's requests (128 KiB), and what it holds is not asked for again. The figures
    // are made anew at every read.
    info->direct_io = std::strcmp(path + 1, FiguresName) == 0;
    return 0;
}

void WaitUntil(double seconds)
{
    std::this_thread::sleep_until(TheDrive.started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                         std::chrono::duration<double>(seconds)));
}

int Read(const char *path, char *buffer, size_t size, off_t offset, fuse_file_info *)
{
    if (std::strcmp(path + 1, FiguresName) == 0) {
        const std::string text = FiguresText();
        if (offset >= off_t(text.size()))
            return 0;
        const size_t n = std::min(size, text.size() - size_t(offset));
        std::memcpy(buffer, text.data() + offset, n);
        return int(n);
    }
    if (offset >= TheDrive.size)
        return 0;
    size = size_t(std::min<off_t>(off_t(size), TheDrive.size - offset));
    const double now = TheDrive.Now();
    const auto before = TheDrive.model.Served();
    const double cost = TheDrive.model.Read(offset, off_t(size), now);
    if (TheDrive.log) {
        const auto &after = TheDrive.model.Served();
        const char *kind = after.Seeks > before.Seeks ? "seek" : after.BufferHits > before.BufferHits ? "buffer" : "on";
        std::fprintf(TheDrive.log, "%.6f %lld %zu %.6f %s\n", now, static_cast<long long>(offset), size, cost, kind);
        std::fflush(TheDrive.log);
    }
    WaitUntil(now + cost);
    const ssize_t got = pread(TheDrive.image, buffer, size, offset);
    return got < 0 ? -errno : int(got);
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<char *> fuseArgs{argv[0]};
    std::vector<const char *> positional;
    const char *logPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--log") == 0 && i + 1 < argc)
            logPath = argv[++i];
        else if (argv[i][0] != '-' && positional.size() < 2)
            positional.push_back(argv[i]);
        else
            fuseArgs.push_back(argv[i]);
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "usage: %s [--log FILE] IMAGE MOUNTPOINT [FUSE options]\n", argv[0]);
        return 2;
    }
    TheDrive.image = open(positional[0], O_RDONLY | O_CLOEXEC);
    struct stat st
    {
    };
    if (TheDrive.image < 0 || fstat(TheDrive.image, &st) != 0) {
        std::fprintf(stderr, "%s: %s\n", positional[0], std::strerror(errno));
        return 1;
    }
    TheDrive.size = st.st_size;
    const std::string image = positional[0];
    TheDrive.name = image.substr(image.find_last_of('/') + 1);
    if (logPath && !(TheDrive.log = std::fopen(logPath, "w"))) {
        std::fprintf(stderr, "%s: %s\n", logPath, std::strerror(errno));
        return 1;
    }
    // One request at a time, as a drive serves them.
    static char singleThreaded[] = "-s";
    fuseArgs.push_back(singleThreaded);
    fuseArgs.push_back(const_cast<char *>(positional[1]));

    fuse_operations operations{};
    operations.init = Init;
    operations.getattr = GetAttr;
    operations.readdir = ReadDir;
    operations.open = Open;
    operations.read = Read;
    const int status = fuse_main(int(fuseArgs.size()), fuseArgs.data(), &operations, nullptr);
    if (TheDrive.log)
        std::fclose(TheDrive.log);
    return status;
}
