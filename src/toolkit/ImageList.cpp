#include "toolkit/ImageList.h"

#include <QPainter>

TImageList::TImageList(int width, int height, QObject *owner)
    : QObject(owner)
    , width_(width)
    , height_(height)
{
}

void TImageList::SetBkColor(const QColor &colour)
{
    bkColor_ = colour;
}

void TImageList::Add(const QImage &picture)
{
    QImage image = picture.convertToFormat(QImage::Format_RGB32);
    if (image.width() != width_ || image.height() != height_) {
        QImage sized(width_, height_, QImage::Format_RGB32);
        sized.fill(bkColor_);
        QPainter painter(&sized);
        painter.drawImage(0, 0, image);
        painter.end();
        image = sized;
    }
    images_.append(image);
}

void TImageList::Clear()
{
    images_.clear();
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= images_.size())
        return {};
    return images_.at(index);
}

void TImageList::Draw(QPainter &painter, int x, int y, int index) const
{
    if (index < 0 || index >= images_.size())
        return;
    painter.drawImage(x, y, images_.at(index));
}
