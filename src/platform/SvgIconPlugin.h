// SPDX-License-Identifier: MIT
#pragma once

#include <QIconEnginePlugin>

class QIconEngine;
class QString;

// Offers SvgIconEngine to Qt for SVG files. Linked into the program rather than loaded, it is there
// with any Qt, the disc's included, which has no SVG module.
class SvgIconPlugin : public QIconEnginePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QIconEngineFactoryInterface" FILE "SvgIconPlugin.json")

public:
    QIconEngine *create(const QString &fileName) override;
};
