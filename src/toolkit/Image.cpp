#include "toolkit/Image.h"

#include "toolkit/Dispatch.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>

#include <exception>

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
    try {
        LoadPicture();
    } catch (...) {
        // An error box opened inside a paint event would paint and run events within it: the
        // error is shown once painting is over, even when the control is gone by then.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [error = std::current_exception()] { Dispatch::Guarded([&error] { std::rethrow_exception(error); }); },
            Qt::QueuedConnection);
    }
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), picture_, event->rect());
}
