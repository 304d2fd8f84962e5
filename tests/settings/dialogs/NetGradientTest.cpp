// The gradient background, grabbed offscreen and checked pixel by pixel
// against band edges and colours worked out from the band rule by hand.

#include "settings/NetGradient.h"

#include "platform/SysColors.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr TColor kGray = 0x808080;

// The platform's rounding, written out independently: halves away from zero.
int RoundedQuotient(long long a, long long b) {
    return static_cast<int>(std::lround(static_cast<double>(a) / static_cast<double>(b)));
}

class NetGradientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSysColors();
        gradient.resize(313, 247);
        gradient.SetCaption(QString());
    }
    void TearDown() override { ResetSysColors(); }

    QImage Look() { return gradient.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TNetGradient gradient;
};

TEST_F(NetGradientTest, DefaultsAsDesigned) {
    TNetGradient fresh;
    EXPECT_EQ(fresh.size(), QSize(400, 25));
    EXPECT_EQ(fresh.BeginColor(), kGray);
    EXPECT_EQ(fresh.EndColor(), clBtnFace);
    EXPECT_EQ(fresh.FillDirection(), TFillDirection::fdLeftToRight);
    EXPECT_EQ(fresh.NumberOfColors(), 255);
    EXPECT_EQ(fresh.Caption(), "TNetGradient");
    EXPECT_EQ(fresh.TextTop(), 5);
    EXPECT_EQ(fresh.TextLeft(), 12);
    EXPECT_TRUE(fresh.font().bold());
}

TEST_F(NetGradientTest, TwoHundredFiftyFiveBandsOverTheAboutBoxWidth) {
    const QImage look = Look();
    // Leftmost exactly gray, rightmost exactly the button face.
    EXPECT_EQ(look.pixel(0, 0), qRgb(128, 128, 128));
    EXPECT_EQ(look.pixel(312, 246), qRgb(192, 192, 192));
    // By hand: band 1 is [1,2) in 128 + round(64/254) = 128; band 2 is [2,3)
    // in 128 + round(128/254) = 129; band 127 is [156,157) in 160; band 254
    // is [312,313).
    EXPECT_EQ(look.pixel(1, 10), qRgb(128, 128, 128));
    EXPECT_EQ(look.pixel(2, 10), qRgb(129, 129, 129));
    EXPECT_EQ(look.pixel(156, 10), qRgb(160, 160, 160));
    for (int i = 0; i < 255; ++i) {
        const int left = RoundedQuotient(1LL * i * 313, 255);
        const int right = RoundedQuotient(1LL * (i + 1) * 313, 255);
        const int grey = 128 + RoundedQuotient(1LL * i * 64, 254);
        ASSERT_GE(right - left, 1) << i;
        ASSERT_LE(right - left, 2) << i;
        for (int x = left; x < right; ++x) {
            for (int y : {0, 123, 246}) {
                ASSERT_EQ(look.pixel(x, y), qRgb(grey, grey, grey)) << "band " << i << " x " << x;
            }
        }
    }
}

TEST_F(NetGradientTest, OneBandAndTwoBands) {
    gradient.SetBeginColor(0x0000FF); // red
    gradient.SetEndColor(0xFF0000);   // blue
    gradient.SetNumberOfColors(1);
    QImage look = Look();
    for (int x : {0, 156, 157, 312}) {
        EXPECT_EQ(look.pixel(x, 100), qRgb(255, 0, 0)) << x;
    }

    // Two bands meet at 313 / 2 = 156.5, rounded away from zero to 157.
    gradient.SetNumberOfColors(2);
    look = Look();
    EXPECT_EQ(look.pixel(0, 100), qRgb(255, 0, 0));
    EXPECT_EQ(look.pixel(156, 100), qRgb(255, 0, 0));
    EXPECT_EQ(look.pixel(157, 100), qRgb(0, 0, 255));
    EXPECT_EQ(look.pixel(312, 100), qRgb(0, 0, 255));
}

TEST_F(NetGradientTest, RightToLeftKeepsTheBandsAndSwapsTheColours) {
    gradient.SetBeginColor(0x0000FF);
    gradient.SetEndColor(0xFF0000);
    gradient.SetFillDirection(TFillDirection::fdRightToLeft);
    gradient.SetNumberOfColors(2);
    QImage look = Look();
    EXPECT_EQ(look.pixel(156, 100), qRgb(0, 0, 255));
    EXPECT_EQ(look.pixel(157, 100), qRgb(255, 0, 0));

    gradient.SetNumberOfColors(1);
    EXPECT_EQ(Look().pixel(0, 0), qRgb(0, 0, 255));

    gradient.SetBeginColor(kGray);
    gradient.SetEndColor(clBtnFace);
    gradient.SetNumberOfColors(255);
    look = Look();
    EXPECT_EQ(look.pixel(0, 0), qRgb(192, 192, 192));
    EXPECT_EQ(look.pixel(312, 0), qRgb(128, 128, 128));
    // Band 1 is still [1,2): 192 - round(64/254) = 192; band 2 [2,3): 191.
    EXPECT_EQ(look.pixel(1, 0), qRgb(192, 192, 192));
    EXPECT_EQ(look.pixel(2, 0), qRgb(191, 191, 191));
}

TEST_F(NetGradientTest, EqualColoursFillEvenly) {
    gradient.SetBeginColor(0x336699);
    gradient.SetEndColor(0x336699);
    const QImage look = Look();
    for (int x = 0; x < 313; ++x) {
        ASSERT_EQ(look.pixel(x, 7), qRgb(0x99, 0x66, 0x33)) << x;
    }
}

TEST_F(NetGradientTest, SystemColoursAreResolvedAtEachPaint) {
    SetSysColor(15, 0x00FF0000); // button face becomes blue
    EXPECT_EQ(Look().pixel(312, 0), qRgb(0, 0, 255));
    SetSysColor(15, 0x0000FF00);
    gradient.SetEndColor(clBtnFace);
    EXPECT_EQ(Look().pixel(312, 0), qRgb(0, 255, 0));
}

TEST_F(NetGradientTest, BandCountIsKeptWithinOneTo255) {
    gradient.SetNumberOfColors(0);
    EXPECT_EQ(gradient.NumberOfColors(), 1);
    gradient.SetNumberOfColors(-5);
    EXPECT_EQ(gradient.NumberOfColors(), 1);
    gradient.SetNumberOfColors(256);
    EXPECT_EQ(gradient.NumberOfColors(), 255);
}

TEST_F(NetGradientTest, MoreBandsThanPixelsStillEndInTheEndColour) {
    gradient.resize(100, 10);
    const QImage look = Look();
    EXPECT_EQ(look.pixel(0, 0), qRgb(128, 128, 128));
    EXPECT_EQ(look.pixel(99, 0), qRgb(192, 192, 192));
}

// Where black text lies on a green fill: the box of every pixel that is not
// the fill, and whether every such pixel is ink (darker green only).
struct Ink {
    QRect Box;
    bool OnlyInk = true;
};

Ink FindInk(const QImage& look, QRgb fill) {
    Ink ink;
    for (int y = 0; y < look.height(); ++y) {
        for (int x = 0; x < look.width(); ++x) {
            const QRgb p = look.pixel(x, y);
            if (p == fill) {
                continue;
            }
            ink.Box |= QRect(x, y, 1, 1);
            if (qRed(p) != 0 || qBlue(p) != 0 || qGreen(p) > qGreen(fill)) {
                ink.OnlyInk = false;
            }
        }
    }
    return ink;
}

TEST_F(NetGradientTest, CaptionIsDrawnAtItsPlaceWithoutABackground) {
    const QRgb fill = qRgb(0, 200, 0);
    gradient.SetBeginColor(0x00C800);
    gradient.SetEndColor(0x00C800);
    gradient.SetFontColor(0x000000);
    gradient.SetCaption("MW");
    const QFontMetrics metrics(gradient.font());

    Ink ink = FindInk(Look(), fill);
    ASSERT_FALSE(ink.Box.isEmpty());
    EXPECT_TRUE(ink.OnlyInk); // no box behind the text
    EXPECT_GE(ink.Box.left(), 12);
    EXPECT_LE(ink.Box.left(), 14);
    EXPECT_GE(ink.Box.top(), 5);
    EXPECT_LE(ink.Box.top(), 5 + metrics.ascent());
    EXPECT_LE(ink.Box.bottom(), 5 + metrics.height());

    gradient.SetTextLeft(100);
    gradient.SetTextTop(60);
    const Ink moved = FindInk(Look(), fill);
    EXPECT_EQ(moved.Box, ink.Box.translated(88, 55));

    // The caption stays on one line.
    gradient.SetCaption("MW\nMW");
    EXPECT_EQ(FindInk(Look(), fill).Box.height(), moved.Box.height());
}

} // namespace
