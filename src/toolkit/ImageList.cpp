#include "toolkit/ImageList.h"

#include <QPainter>

#include <cstring>
#include <utility>

TImageList::TImageList(QObject *owner) : QObject(owner) {}

TImageList::TImageList(int width, int height, QObject *owner) : QObject(owner), width_(width), height_(height) {}

void TImageList::SetSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    Clear();
    emit SizeChanged();
}

void TImageList::SetBkColor(const QColor &colour)
{
    bkColor_ = colour;
}

void TImageList::Add(const QImage &picture)
{
    images_.append(Stored(picture));
}

void TImageList::SetPictures(int count, std::function<QImage(int)> decode)
{
    images_ = QVector<QImage>(count);
    decode_ = std::move(decode);
}

QImage TImageList::Stored(const QImage &picture) const
{
    const bool masked = picture.hasAlphaChannel();
    // 16-bit pictures, as the image-list streams hold them, stay at 16 bits: half the memory, and
    // half the pages a start-up has to touch.
    const QImage::Format format = masked                                      ? QImage::Format_ARGB32_Premultiplied
                                  : picture.format() == QImage::Format_RGB555 ? QImage::Format_RGB555
                                                                              : QImage::Format_RGB32;
    QImage image = picture.convertToFormat(format);
    if (image.width() != width_ || image.height() != height_) {
        QImage sized(width_, height_, image.format());
        sized.fill(masked ? QColor(Qt::transparent) : bkColor_);
        QPainter painter(&sized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, image);
        painter.end();
        image = sized;
    }
    return image;
}

const QImage &TImageList::Picture(int index) const
{
    QImage &image = images_[index];
    if (image.isNull() && decode_)
        image = Stored(decode_(index));
    return image;
}

void TImageList::Clear()
{
    images_.clear();
    decode_ = nullptr;
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= images_.size())
        return {};
    return Picture(index);
}

void TImageList::Draw(QPainter &painter, int x, int y, int index) const
{
    if (index < 0 || index >= images_.size())
        return;
    const QImage &image = Picture(index);
    // Without a background colour, transparent parts leave what lies beneath.
    if (image.hasAlphaChannel() && bkColor_.isValid())
        painter.fillRect(x, y, width_, height_, bkColor_);
    painter.drawImage(x, y, image);
}

void TImageList::GetBitmap(int index, QImage &bitmap) const
{
    if (bitmap.width() != width_ || bitmap.height() != height_ || bitmap.format() != QImage::Format_RGB32)
        bitmap = QImage(width_, height_, QImage::Format_RGB32);
    if (index < 0 || index >= images_.size())
        return;
    const QImage &image = Picture(index);
    if (image.format() == QImage::Format_RGB32 && image.bytesPerLine() == bitmap.bytesPerLine()) {
        // Opaque pictures are copied as they are: the animator does this on every tick.
        std::memcpy(bitmap.bits(), image.constBits(), size_t(image.sizeInBytes()));
        return;
    }
    if (image.format() == QImage::Format_RGB555) {
        // Each 5-bit channel widened with its top bits repeated, as every conversion here does.
        const auto widen = [](uint v) { return (v << 3) | (v >> 2); };
        for (int y = 0; y < height_; ++y) {
            const auto *source = reinterpret_cast<const quint16 *>(image.constScanLine(y));
            auto *target = reinterpret_cast<QRgb *>(bitmap.scanLine(y));
            for (int x = 0; x < width_; ++x) {
                const uint v = source[x];
                target[x] = qRgb(int(widen((v >> 10) & 31)), int(widen((v >> 5) & 31)), int(widen(v & 31)));
            }
        }
        return;
    }
    QPainter painter(&bitmap);
    Draw(painter, 0, 0, index);
}
