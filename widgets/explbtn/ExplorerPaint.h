#pragma once
// The drawing steps of the explorer button, each pixel-exact: transparent and
// embossed images, the one-pixel bevel, the popup mark and the shared dither
// pattern of a down button.

#include "platform/Color.h"

#include <QImage>
#include <QPoint>
#include <QSize>

class QPainter;

namespace widgets {

// IMAGE at AT, leaving out every pixel of the colour of its pixel (0,0).
void DrawTransparent(QPainter& painter, QPoint at, const QImage& image);

// Only the black pixels of IMAGE, in button highlight one pixel down and
// right, then in button shadow in place.
void DrawEmbossed(QPainter& painter, QPoint at, const QImage& image);

// The one-pixel frame: FIRST along the left and top edges, SECOND along the
// right and bottom ones (the top-right corner is SECOND's, the bottom-left
// FIRST's).
void DrawBevel(QPainter& painter, QSize size, TColor first, TColor second);

// The small downward triangle whose top row is row AT.y() - 1, from AT.x()
// to AT.x() + 6.
void DrawPopupMark(QPainter& painter, QPoint at, TColor color);

} // namespace widgets
