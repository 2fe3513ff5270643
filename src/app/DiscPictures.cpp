// SPDX-License-Identifier: MIT
#include "app/DiscPictures.h"

#include "app/GlobalsU.h"

#include <exception>
#include <optional>

namespace {

// A picture's file, read, or the reason it could not be, in its promise.
struct ReadPicture
{
    std::promise<QImage> picture;
    std::optional<QByteArray> bytes;

    explicit ReadPicture(const QString &fileName)
    {
        try {
            bytes = GlobalsU::ReadDiscFile(fileName);
        } catch (...) {
            picture.set_exception(std::current_exception());
        }
    }

    void Decode()
    {
        if (!bytes)
            return;
        try {
            picture.set_value(GlobalsU::DecodeBitmap(*bytes));
        } catch (...) {
            picture.set_exception(std::current_exception());
        }
    }
};

} // namespace

DiscPictures::DiscPictures()
{
    // Both files are read here, one after the other, in the order the disc lays them out: from a
    // drive, reads on a thread of their own would take turns with the main thread's and send the
    // head back and forth. Decoding, the larger part of the work, runs on a thread while the fonts
    // are installed and the window is built; one thread for both, since a thread's start costs the
    // window's construction more than the small sample picture costs the thread.
    ReadPicture backdrop(GlobalsU::InterfaceFolder() + QStringLiteral("MainBack.bmp"));
    ReadPicture sample(GlobalsU::DiscFile(DiscFolder::SamplePics, QStringLiteral("Sampleware.bmp")));
    backdrop_ = backdrop.picture.get_future();
    sample_ = sample.picture.get_future();
    reader_ = std::thread([backdrop = std::move(backdrop), sample = std::move(sample)]() mutable {
        backdrop.Decode();
        sample.Decode();
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
