#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>

// Drawing helpers shared by every picture: the series' palette, bevelled panels, patterns and type.
namespace Paint {

// The colour scheme a backdrop is drawn in.
struct Scheme
{
    QColor deep;   // darkest tone: window edges, title band shadow
    QColor main;   // body of the backdrop
    QColor bright; // highlights and glows
    QColor label;  // background of the disc label plate
    QColor labelInk;
};

Scheme Blue();
Scheme Red();
Scheme Purple();
Scheme Green();

// The series' fixed colours.
inline const QColor Ink(22, 34, 66);
inline const QColor PanelLight(236, 241, 250);
inline const QColor PanelFace(208, 218, 236);
inline const QColor PanelShade(132, 148, 184);
inline const QColor CaptionTop(46, 78, 150);
inline const QColor CaptionBottom(18, 38, 96);
inline const QColor Cream(255, 248, 226);
inline const QColor Accent(238, 176, 38);
inline const QColor Lit(214, 24, 30);

QFont Sans(int pixelSize, bool bold = false, bool italic = false);
QFont Serif(int pixelSize, bool bold = false, bool italic = false);

// A vertical gradient over rect.
void Gradient(QPainter &p, const QRectF &rect, const QColor &top, const QColor &bottom);
// A raised (or sunken) bevel of the given width inside rect.
void Bevel(QPainter &p, const QRect &rect, int width, bool raised, const QColor &light, const QColor &dark);
// A bevelled panel: face gradient, raised edge, fine dark outline.
void Panel(QPainter &p, const QRect &rect, const QColor &top, const QColor &bottom);
// The patterned light-blue ground of the main menu's picture areas, aligned to rect's corner.
void PictureGround(QPainter &p, const QRect &rect);
// A caption strip: dark blue gradient with a bright top line and white bold text.
void CaptionStrip(QPainter &p, const QRect &rect, const QString &text);
// Text with a one-pixel drop shadow.
void ShadowText(QPainter &p, const QRect &rect, int flags, const QString &text, const QColor &ink, const QColor &shadow,
                int offset = 1);
// A white text frame: thin sunken edge around a white field.
void WhiteFrame(QPainter &p, const QRect &inner);
// A round bullet (unlit: brushed metal ring; lit: red ring around a red disc) in a 22 by 22 box.
void Bullet(QPainter &p, const QPoint &topLeft, bool lit);
// The install arrow in a 22 by 27 box.
void InstallArrow(QPainter &p, const QPoint &topLeft, bool lit);
// A page's caption tab in the top-left corner of a 486 by 251 page.
void PageTab(QPainter &p, const QString &title);
// The light ground shared by the pages.
void PageGround(QPainter &p, const QRect &rect);

} // namespace Paint
