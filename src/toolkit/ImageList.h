#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QVector>

#include <functional>

class QPainter;

// A fixed-size list of equal-size pictures, drawn by index with the list's background colour.
// Its destruction (QObject::destroyed) is the removal notice that users of the list register for.
class TImageList : public QObject
{
    Q_OBJECT

public:
    explicit TImageList(QObject *owner = nullptr);
    TImageList(int width, int height, QObject *owner = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changes the picture size; a list whose size changes loses its pictures and says so.
    void SetSize(int width, int height);

    int Count() const { return images_.size(); }

    QColor BkColor() const { return bkColor_; }
    void SetBkColor(const QColor &colour);

    // Appends a picture; one of another size is cut or padded with the background colour.
    // Transparent parts of a picture show the background colour when drawn.
    void Add(const QImage &picture);
    // Replaces the pictures with count pictures that decode(i) makes, each the first time it is
    // drawn or asked for, and kept as Add keeps it: a start shows only a frame or two of a list.
    void SetPictures(int count, std::function<QImage(int)> decode);
    void Clear();

    // Picture i, or a null image when the list has no such picture.
    QImage Image(int index) const;

    // Draws picture i with its top-left corner at (x, y); an index with no picture draws nothing.
    void Draw(QPainter &painter, int x, int y, int index) const;

    // Sizes bitmap to the picture size (keeping its memory when it already has that size) and draws
    // picture i at (0, 0); an index with no picture leaves the bitmap's pixels as they were.
    void GetBitmap(int index, QImage &bitmap) const;

signals:
    void SizeChanged();

private:
    QImage Stored(const QImage &picture) const;
    // Picture i, decoded now if it has not been yet; i must be in range.
    const QImage &Picture(int index) const;

    int width_ = 16;
    int height_ = 16;
    QColor bkColor_ = Qt::black;
    // A picture still to be decoded is a null image here.
    mutable QVector<QImage> images_;
    std::function<QImage(int)> decode_;
};
