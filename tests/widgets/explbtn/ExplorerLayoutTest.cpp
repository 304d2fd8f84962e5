// The placement rules of bitmap and caption, with sizes worked out by hand.

#include "widgets/explbtn/ExplorerLayout.h"

#include <gtest/gtest.h>

namespace {

using enum TExplorerButtonLayout;
using enum TAlignment;

TExplorerLayoutInput Input(int w, int h, QSize bitmap, QSize text, TExplorerButtonLayout layout,
                           TAlignment alignment) {
    TExplorerLayoutInput in;
    in.Width = w;
    in.Height = h;
    in.BitmapSize = bitmap;
    in.ShowCaption = !text.isEmpty();
    in.Layout = layout;
    in.Alignment = alignment;
    in.MeasureText = [text](int) { return text; };
    return in;
}

TEST(ExplorerLayout, BitmapAboveAndBelowTheCaption) {
    auto top = LayoutExplorerButton(Input(50, 40, {16, 16}, {20, 13}, blBitmapTop, taCenter));
    EXPECT_EQ(top.BitmapPos, QPoint(17, 4));
    EXPECT_EQ(top.TextRect, QRect(15, 22, 20, 13));

    auto bottom = LayoutExplorerButton(Input(50, 40, {16, 16}, {20, 13}, blBitmapBottom, taCenter));
    EXPECT_EQ(bottom.TextRect, QRect(15, 4, 20, 13));
    EXPECT_EQ(bottom.BitmapPos, QPoint(17, 19));

    auto left = LayoutExplorerButton(Input(50, 40, {16, 16}, {20, 13}, blBitmapTop, taLeftJustify));
    EXPECT_EQ(left.BitmapPos.x(), 3);
    EXPECT_EQ(left.TextRect.x(), 3);
    auto right =
        LayoutExplorerButton(Input(50, 40, {16, 16}, {20, 13}, blBitmapTop, taRightJustify));
    EXPECT_EQ(right.BitmapPos.x(), 31);
    EXPECT_EQ(right.TextRect.x(), 27);
}

TEST(ExplorerLayout, BitmapBesideTheCaptionInEveryAlignment) {
    const QSize bmp(16, 16);
    const QSize text(30, 13);
    struct Case {
        TExplorerButtonLayout Layout;
        TAlignment Alignment;
        int BitmapLeft;
        int TextLeft;
    };
    const Case cases[] = {
        {blBitmapLeft, taLeftJustify, 3, 21},    {blBitmapLeft, taRightJustify, 29, 47},
        {blBitmapLeft, taCenter, 16, 34},        {blBitmapRight, taLeftJustify, 35, 3},
        {blBitmapRight, taRightJustify, 61, 29}, {blBitmapRight, taCenter, 48, 16},
    };
    for (const Case& c : cases) {
        const auto out = LayoutExplorerButton(Input(80, 30, bmp, text, c.Layout, c.Alignment));
        EXPECT_EQ(out.BitmapPos, QPoint(c.BitmapLeft, 7));
        EXPECT_EQ(out.TextRect, QRect(c.TextLeft, 8, 30, 13));
    }
}

TEST(ExplorerLayout, WideCaptionsAreCutToTheRoomLeft) {
    // Measured 60 wide in a 40-pixel button: first cut to 36, then to what
    // the bitmap and the gap leave.
    auto beside =
        LayoutExplorerButton(Input(40, 30, {16, 16}, {60, 13}, blBitmapLeft, taLeftJustify));
    EXPECT_EQ(beside.TextRect, QRect(21, 8, 18, 13));

    auto above = LayoutExplorerButton(Input(40, 30, {16, 16}, {60, 13}, blBitmapTop, taCenter));
    EXPECT_EQ(above.TextRect.width(), 36);
}

TEST(ExplorerLayout, CaptionAloneMakesRoomForThePopupMark) {
    auto in = Input(50, 22, {}, {45, 13}, blBitmapTop, taCenter);
    in.Mark = true;
    auto centre = LayoutExplorerButton(in);
    EXPECT_EQ(centre.TextRect, QRect(2, 4, 36, 13));
    in.Alignment = taRightJustify;
    EXPECT_EQ(LayoutExplorerButton(in).TextRect.x(), 1);
    in.Alignment = taLeftJustify;
    EXPECT_EQ(LayoutExplorerButton(in).TextRect.x(), 3);

    in.Mark = false;
    in.Alignment = taCenter;
    EXPECT_EQ(LayoutExplorerButton(in).TextRect, QRect(2, 4, 45, 13));
}

TEST(ExplorerLayout, TheMarkWidensTheBitmapBlock) {
    auto in = Input(40, 22, {16, 16}, {}, blBitmapTop, taCenter);
    in.Mark = true;
    EXPECT_EQ(LayoutExplorerButton(in).BitmapPos, QPoint(7, 3));
    in.Alignment = taRightJustify;
    EXPECT_EQ(LayoutExplorerButton(in).BitmapPos, QPoint(11, 3));
}

TEST(ExplorerLayout, WrappedTextKeepsFiveFreePixelsOnTheRight) {
    auto in = Input(50, 40, {16, 16}, {44, 26}, blBitmapTop, taLeftJustify);
    in.WordWrap = true;
    EXPECT_EQ(LayoutExplorerButton(in).TextRect.width(), 42);
    in.WordWrap = false;
    EXPECT_EQ(LayoutExplorerButton(in).TextRect.width(), 44);
}

TEST(ExplorerLayout, BitmapOnlyAndDivisionsTowardZero) {
    EXPECT_EQ(LayoutExplorerButton(Input(22, 22, {16, 16}, {}, blBitmapTop, taCenter)).BitmapPos,
              QPoint(3, 3));
    // (9 - 16) / 2 rounds toward zero to -3, not down to -4.
    EXPECT_EQ(LayoutExplorerButton(Input(9, 9, {16, 16}, {}, blBitmapLeft, taCenter)).BitmapPos,
              QPoint(-3, -3));
}

TEST(ExplorerLayout, CaptionIsMeasuredWithinTheWidthLessFour) {
    auto in = Input(50, 40, {}, {}, blBitmapTop, taCenter);
    in.ShowCaption = true;
    int asked = 0;
    in.MeasureText = [&asked](int width) {
        asked = width;
        return QSize(10, 13);
    };
    LayoutExplorerButton(in);
    EXPECT_EQ(asked, 46);
}

} // namespace
