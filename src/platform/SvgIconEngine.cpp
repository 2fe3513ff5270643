// SPDX-License-Identifier: MIT
#include "platform/SvgIconEngine.h"

#include "platform/SvgRaster.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QStyle>
#include <QStyleOption>

SvgIconEngine::SvgIconEngine(const QString &path) : path_(path) {}

void SvgIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    painter->drawPixmap(rect, pixmap(rect.size() * painter->device()->devicePixelRatio(), mode, state));
}

QPixmap SvgIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State)
{
    const auto key = std::make_tuple(size.width(), size.height(), int(mode));
    const auto found = drawn_.find(key);
    if (found != drawn_.end())
        return found->second;
    QPixmap drawn = QPixmap::fromImage(SvgRaster::Render(path_, size));
    // Disabled and selected icons look as the style draws them from any other icon.
    if (!drawn.isNull() && mode != QIcon::Normal) {
        QStyleOption option;
        option.palette = QApplication::palette();
        drawn = QApplication::style()->generatedIconPixmap(mode, drawn, &option);
    }
    drawn_.emplace(key, drawn);
    return drawn;
}

QIconEngine *SvgIconEngine::clone() const
{
    return new SvgIconEngine(*this);
}

QString SvgIconEngine::key() const
{
    return QStringLiteral("svg");
}

bool SvgIconEngine::isNull()
{
    return path_.isEmpty();
}
