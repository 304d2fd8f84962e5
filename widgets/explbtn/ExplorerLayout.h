#pragma once
// Where the explorer button puts its bitmap and its caption. Kept apart from
// the widget so the rules can be checked with plain numbers.

#include <QRect>
#include <QSize>
#include <functional>

enum class TExplorerButtonLayout : unsigned char {
    blBitmapTop,
    blBitmapBottom,
    blBitmapLeft,
    blBitmapRight
};

enum class TAlignment : unsigned char { taLeftJustify, taRightJustify, taCenter };

struct TExplorerLayoutInput {
    int Width = 0;
    int Height = 0;
    QSize BitmapSize;  // empty when there is no bitmap
    bool Mark = false; // a popup mark stands beside the bitmap or the text
    bool ShowCaption = false;
    bool WordWrap = false;
    TAlignment Alignment = TAlignment::taCenter;
    TExplorerButtonLayout Layout = TExplorerButtonLayout::blBitmapTop;
    // The caption's size when laid out within the given width.
    std::function<QSize(int maxWidth)> MeasureText;
};

struct TExplorerLayoutResult {
    QPoint BitmapPos;
    QRect TextRect; // left, top, width, height of the caption
};

TExplorerLayoutResult LayoutExplorerButton(const TExplorerLayoutInput& in);
