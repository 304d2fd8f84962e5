#pragma once
// What the toolbar family shares: its misuse error, the system colours it
// paints with and the platform's edge drawing.

#include "platform/Color.h"

#include <QRect>
#include <stdexcept>

class QPainter;
class QPixmap;

// Misuse of a component (wrong owner, wrong parent, a forbidden change).
class EInvalidOperation : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Edge kinds and side flags of the platform's edge drawing.
constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_RECT = 0xF;
constexpr unsigned BF_MIDDLE = 0x800;
constexpr unsigned BF_SOFT = 0x1000;

namespace tb97 {

// Which way a toolbar lays out its items.
enum class TBarOrientation { kFloating, kHorizontal, kVertical };

// The menu part at the right of a split button.
constexpr int kMenuPartWidth = 11;

// Draws a 3-D edge around R: the outer ring on R's border, the inner ring one
// pixel in; top and left in the light colour of each ring, bottom and right
// in its dark colour, the dark lines taking the top-right and bottom-left
// corners. BF_MIDDLE fills what is left in the button face colour.
void DrawEdge(QPainter& painter, const QRect& r, unsigned edge, unsigned flags);

// Fills one pixel, the way the family's pixel-exact looks are drawn.
void SetPixel(QPainter& painter, int x, int y, TColor color);

} // namespace tb97
