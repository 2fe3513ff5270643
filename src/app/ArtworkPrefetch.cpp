// SPDX-License-Identifier: MIT
#include "app/ArtworkPrefetch.h"

#include "app/Artwork.h"

#include <exception>

namespace {
ArtworkPrefetch *active = nullptr;
} // namespace

ArtworkPrefetch::ArtworkPrefetch(const QStringList &fileNames) : files_(std::size_t(fileNames.size()))
{
    for (std::size_t i = 0; i < files_.size(); ++i) {
        files_[i].name = fileNames.at(qsizetype(i));
        files_[i].bytes = files_[i].promise.get_future();
    }
    worker_ = std::thread([this] {
        for (File &file : files_) {
            try {
                file.promise.set_value(Artwork::Unpacked(file.name));
            } catch (...) {
                file.promise.set_exception(std::current_exception());
            }
        }
    });
    active = this;
}

ArtworkPrefetch::~ArtworkPrefetch()
{
    active = nullptr;
    worker_.join();
}

std::optional<QByteArray> ArtworkPrefetch::Take(const QString &fileName)
{
    if (!active)
        return std::nullopt;
    for (File &file : active->files_) {
        if (file.name == fileName && !file.taken) {
            file.taken = true;
            return file.bytes.get();
        }
    }
    return std::nullopt;
}
