// SPDX-License-Identifier: MIT
#include "app/DiscPictures.h"

#include "app/GlobalsU.h"

namespace {
std::future<QImage> readOnThread(const QString &fileName)
{
    return std::async(std::launch::async, [fileName] { return GlobalsU::ReadBitmapFile(fileName); });
}
} // namespace

DiscPictures::DiscPictures()
    : backdrop_(readOnThread(GlobalsU::InterfaceFolder() + QStringLiteral("MainBack.bmp")))
    , sample_(readOnThread(GlobalsU::DiscFile(DiscFolder::SamplePics, QStringLiteral("Sampleware.bmp"))))
{
}

QImage DiscPictures::TakeBackdrop()
{
    return backdrop_.get();
}

QImage DiscPictures::TakeSample()
{
    return sample_.get();
}
