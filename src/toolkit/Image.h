#pragma once

#include "toolkit/Control.h"

#include <QImage>

#include <utility>

// The picture control: holds a bitmap at its own size and paints it at the top-left corner.
class TImage : public TControl
{
    Q_OBJECT

public:
    explicit TImage(QWidget *parent = nullptr);

    // The bitmap the control holds; painting onto it changes what the control shows.
    const QImage &Picture() const { return picture_; }
    void SetPicture(const QImage &picture);

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

    QImage picture_;
};
