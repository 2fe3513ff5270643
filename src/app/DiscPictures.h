// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

#include <future>
#include <thread>

// The disc's own backdrop and sample picture, read from the moment the disc is known and decoded on
// a thread of their own, so that they are ready when the main window is created.
class DiscPictures
{
public:
    // Starts reading both files of the current disc.
    DiscPictures();
    ~DiscPictures();
    DiscPictures(DiscPictures &&) = default;
    DiscPictures &operator=(DiscPictures &&) = delete;

    // Each waits for its file and hands over its picture once, or throws what reading it threw.
    QImage TakeBackdrop();
    QImage TakeSample();

private:
    std::future<QImage> backdrop_;
    std::future<QImage> sample_;
    std::thread reader_;
};
