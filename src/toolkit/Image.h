#pragma once

#include "toolkit/Control.h"

#include <QImage>
#include <QSize>

#include <functional>
#include <utility>

// The picture control: holds a bitmap at its own size and paints it at the top-left corner.
class TImage : public TControl
{
    Q_OBJECT

public:
    // Gives the picture a control was handed with a size only; called at most once.
    using PictureLoader = std::function<QImage()>;

    explicit TImage(QWidget *parent = nullptr);

    // The bitmap the control holds; painting onto it changes what the control shows.
    const QImage &Picture() const;
    void SetPicture(const QImage &picture);
    // A picture of the given size that is decoded only when it is first needed: a picture that is
    // painted over whole before it is ever shown costs nothing.
    void SetPicture(QSize size, PictureLoader loader);
    // The size of the held picture, decoded or not; the control's size when it holds none.
    QSize PictureSize() const;

    // Draws onto the held bitmap through a painter and repaints; a control holding no picture
    // first gets a blank bitmap of its own size.
    template <class Draw> void Modify(Draw &&draw)
    {
        EnsurePicture();
        std::forward<Draw>(draw)(picture_);
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void EnsurePicture();
    void LoadPicture() const;

    mutable QImage picture_;
    mutable PictureLoader loader_;
    QSize loaderSize_;
};
