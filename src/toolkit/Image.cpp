#include "toolkit/Image.h"

#include <QPaintEvent>
#include <QPainter>

TImage::TImage(QWidget *parent) : TControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TImage::SetPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

void TImage::EnsurePicture()
{
    if (picture_.isNull()) {
        picture_ = QImage(size(), QImage::Format_RGB32);
        picture_.fill(Qt::white);
    }
}

void TImage::paintEvent(QPaintEvent *event)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), picture_, event->rect());
}
