#include "toolkit/Image.h"

#include "toolkit/Dispatch.h"

#include <QPaintEvent>
#include <QPainter>

TImage::TImage(QWidget *parent) : TControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

const QImage &TImage::Picture() const
{
    LoadPicture();
    return picture_;
}

void TImage::SetPicture(const QImage &picture)
{
    loader_ = nullptr;
    picture_ = picture;
    update();
}

void TImage::SetPicture(QSize size, PictureLoader loader)
{
    picture_ = QImage();
    loader_ = std::move(loader);
    loaderSize_ = size;
    update();
}

QSize TImage::PictureSize() const
{
    if (loader_)
        return loaderSize_;
    return picture_.isNull() ? size() : picture_.size();
}

void TImage::LoadPicture() const
{
    if (!loader_)
        return;
    // Taken out first, so that a loader that fails is not run again on every repaint.
    const PictureLoader loader = std::exchange(loader_, nullptr);
    picture_ = loader();
}

void TImage::EnsurePicture()
{
    LoadPicture();
    if (picture_.isNull()) {
        picture_ = QImage(size(), QImage::Format_RGB32);
        picture_.fill(Qt::white);
    }
}

void TImage::paintEvent(QPaintEvent *event)
{
    Dispatch::Guarded([this] { LoadPicture(); });
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), picture_, event->rect());
}
