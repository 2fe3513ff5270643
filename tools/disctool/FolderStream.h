// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "IsoLibrary.h"

#include <QString>

#include <mutex>

#include <sys/types.h>

// The data of a file of a disc folder as libisofs writes it into an image: opened only when its
// data is written, without following a link, and read only while it is the file the folder was
// read and checked with (the same device and inode, the same size). A file replaced in between is
// not written: the image fails, naming it.
namespace FolderStream {

// Why the files of one image could not be written; set from libisofs's writing thread.
class Failure
{
public:
    void Set(const QString &why);
    // The first reason set; empty when none was.
    QString Reason() const;

private:
    mutable std::mutex mutex_;
    QString reason_;
};

// A new stream for the file at hostPath, shown as path, that had device, inode and size when it
// was read; failure outlives it.
IsoStream *Make(const QString &hostPath, const QString &path, dev_t device, ino_t inode, off_t size,
                Failure &failure);

} // namespace FolderStream
