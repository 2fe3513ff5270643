// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QIconEngine>
#include <QPixmap>
#include <QString>

#include <map>
#include <tuple>

class QPainter;
class QRect;
class QSize;

// An icon drawn from an SVG file at each size asked for, by the desktop's SVG renderer.
class SvgIconEngine : public QIconEngine
{
public:
    explicit SvgIconEngine(const QString &path);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    QString path_;
    // By width, height and mode; a null pixmap where the file could not be drawn.
    std::map<std::tuple<int, int, int>, QPixmap> drawn_;
};
