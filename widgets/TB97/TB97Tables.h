#pragma once
// The toolbar family's tables.

#include "platform/Color.h"
#include "widgets/TB97/TB97Common.h"

#include <array>

namespace tb97 {

// Margins of a toolbar's items, by orientation (floating, horizontal, vertical).
struct TBarMargins {
    int CrossBefore;       // across the row, before the items
    int CrossAfter;        // across the row, after the items
    int LeadingNoHandle;   // along the row, before the first item, without drag handle
    int LeadingWithHandle; // along the row, before the first item, with drag handle
    int Trailing;          // along the row, after the last item
};
constexpr std::array<TBarMargins, 3> kBarMargins = {{
    {2, 1, 4, 4, 4},  // floating
    {2, 2, 2, 11, 2}, // horizontal
    {2, 2, 2, 11, 2}, // vertical
}};

// Colours of one ring of an edge: top/left and bottom/right; 0 = not drawn.
struct TEdgeRing {
    TColor LightSide;
    TColor DarkSide;
};
// Indexed by the two bits of the ring (1 = raised, 2 = sunken); plain and soft.
constexpr std::array<TEdgeRing, 4> kOuterRing = {
    {{0, 0}, {cl3DLight, cl3DDkShadow}, {clBtnShadow, clBtnHighlight}, {0, 0}}};
constexpr std::array<TEdgeRing, 4> kOuterRingSoft = {
    {{0, 0}, {clBtnHighlight, cl3DDkShadow}, {cl3DDkShadow, clBtnHighlight}, {0, 0}}};
constexpr std::array<TEdgeRing, 4> kInnerRing = {
    {{0, 0}, {clBtnHighlight, clBtnShadow}, {cl3DDkShadow, cl3DLight}, {0, 0}}};
constexpr std::array<TEdgeRing, 4> kInnerRingSoft = {
    {{0, 0}, {cl3DLight, clBtnShadow}, {clBtnShadow, cl3DLight}, {0, 0}}};

} // namespace tb97
