#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QVector>

class QPainter;

// A fixed-size list of equal-size pictures, drawn by index with the list's background colour.
// Its destruction (QObject::destroyed) is the removal notice that users of the list register for.
class TImageList : public QObject
{
    Q_OBJECT

public:
    TImageList(int width, int height, QObject *owner = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return images_.size(); }

    QColor BkColor() const { return bkColor_; }
    void SetBkColor(const QColor &colour);

    // Appends a picture; one of another size is cut or padded with the background colour.
    void Add(const QImage &picture);
    void Clear();

    // Picture i, or a null image when the list has no such picture.
    QImage Image(int index) const;

    // Draws picture i with its top-left corner at (x, y); an index with no picture draws nothing.
    void Draw(QPainter &painter, int x, int y, int index) const;

private:
    int width_;
    int height_;
    QColor bkColor_ = Qt::black;
    QVector<QImage> images_;
};
