// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <future>
#include <optional>
#include <thread>
#include <vector>

// Unpacks stored artwork on a thread of its own while the application starts, so that the work
// overlaps with connecting to the display and loading plugins and fonts; the first reader of each
// file takes its bytes, waiting for them if need be. One prefetch is active at a time.
class ArtworkPrefetch
{
public:
    // Starts unpacking the embedded files, in the order given.
    explicit ArtworkPrefetch(const QStringList &fileNames);
    ~ArtworkPrefetch();
    ArtworkPrefetch(const ArtworkPrefetch &) = delete;
    ArtworkPrefetch &operator=(const ArtworkPrefetch &) = delete;

    // The unpacked bytes of the embedded file, once: none when no active prefetch holds it.
    static std::optional<QByteArray> Take(const QString &fileName);

private:
    struct File
    {
        QString name;
        std::promise<QByteArray> promise;
        std::future<QByteArray> bytes;
        bool taken = false;
    };
    std::vector<File> files_;
    std::thread worker_;
};
