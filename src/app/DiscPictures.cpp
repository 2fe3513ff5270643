// SPDX-License-Identifier: MIT
#include "app/DiscPictures.h"

#include "app/GlobalsU.h"

#include <exception>

namespace {
void read(const QString &fileName, std::promise<QImage> &picture)
{
    try {
        picture.set_value(GlobalsU::ReadBitmapFile(fileName));
    } catch (...) {
        picture.set_exception(std::current_exception());
    }
}
} // namespace

DiscPictures::DiscPictures()
{
    // One thread for both: the backdrop is wanted first, and a thread's start costs the window's
    // construction more than the small sample picture costs the thread.
    std::promise<QImage> backdrop;
    std::promise<QImage> sample;
    backdrop_ = backdrop.get_future();
    sample_ = sample.get_future();
    reader_ = std::thread(
        [backdrop = std::move(backdrop), sample = std::move(sample),
         backdropFile = GlobalsU::InterfaceFolder() + QStringLiteral("MainBack.bmp"),
         sampleFile = GlobalsU::DiscFile(DiscFolder::SamplePics, QStringLiteral("Sampleware.bmp"))]() mutable {
            read(backdropFile, backdrop);
            read(sampleFile, sample);
        });
}

DiscPictures::~DiscPictures()
{
    if (reader_.joinable())
        reader_.join();
}

QImage DiscPictures::TakeBackdrop()
{
    return backdrop_.get();
}

QImage DiscPictures::TakeSample()
{
    return sample_.get();
}
