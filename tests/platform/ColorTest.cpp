// Colour values, system-colour resolution and the gradient band rule. The
// expected figures are worked out by hand from the rule: band i of n over a
// width spans [i * width / n, (i + 1) * width / n), each channel is
// from + i * (to - from) / (n - 1), every division rounded half away from zero.
#include "platform/Color.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;

// The bands of a whole gradient, for checks over all of them.
std::vector<TGradientBand> Bands(int count, int width, TColor from, TColor to) {
    std::vector<TGradientBand> bands;
    for (int i = 0; i < count; ++i) {
        bands.push_back(GradientBand(i, count, width, from, to));
    }
    return bands;
}

} // namespace

TEST(ColorTest, ChannelsSitRedLowBlueHigh) {
    EXPECT_EQ(RedOf(0x00332211), 0x11);
    EXPECT_EQ(GreenOf(0x00332211), 0x22);
    EXPECT_EQ(BlueOf(0x00332211), 0x33);
    EXPECT_EQ(RgbColor(0x11, 0x22, 0x33), 0x00332211u);
    // The top byte (a system-colour flag) is no channel.
    EXPECT_EQ(BlueOf(0x80FF0000), 0xFF);
    EXPECT_EQ(RedOf(0x800000FF), 0xFF);
}

TEST(ColorTest, ChannelsOutsideAByteKeepTheirLowByte) {
    EXPECT_EQ(RgbColor(256, 0, 0), 0x000000u);
    EXPECT_EQ(RgbColor(-1, 0, 0), 0x0000FFu);
    EXPECT_EQ(RgbColor(0, 0x1FF, 0), 0x00FF00u);
    EXPECT_EQ(RgbColor(0, 0, 0x123), 0x230000u);
}

TEST(ColorTest, SystemColoursResolveToTheClassicScheme) {
    EXPECT_TRUE(IsSystemColor(0x8000000F));
    EXPECT_FALSE(IsSystemColor(0x7FFFFFFF));
    EXPECT_EQ(ColorToRGB(0x8000000F), RgbColor(192, 192, 192)); // button face
    EXPECT_EQ(ColorToRGB(0x8000000D), RgbColor(0, 0, 128));     // highlight
    EXPECT_EQ(ColorToRGB(0x80000018), RgbColor(255, 255, 225)); // info background: order shows
    EXPECT_EQ(ColorToRGB(0x80000000), RgbColor(192, 192, 192)); // number 0, the scroll bar
}

TEST(ColorTest, SystemNumbersOutOfRangeResolveToBlack) {
    EXPECT_EQ(ColorToRGB(0x80000019), kBlack); // one past the last
    EXPECT_EQ(ColorToRGB(0x800000FF), kBlack);
}

TEST(ColorTest, PlainColoursKeepTheirLowThreeBytes) {
    EXPECT_EQ(ColorToRGB(0x00123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(0x12345678), 0x345678u); // top bit clear: not a system colour
    EXPECT_EQ(ColorToRGB(0x1FFFFFFF), kWhite);    // clNone
    EXPECT_EQ(ColorToRGB(kBlack), kBlack);
}

TEST(ColorTest, OneBandFillsTheWidthInTheFirstColour) {
    const TGradientBand band = GradientBand(0, 1, 100, RgbColor(1, 2, 3), kWhite);
    EXPECT_EQ(band.Left, 0);
    EXPECT_EQ(band.Right, 100);
    EXPECT_EQ(band.Color, RgbColor(1, 2, 3));
}

TEST(ColorTest, TwoBandsSplitAnOddWidthRoundingTheHalfUp) {
    // 7 / 2 = 3.5 rounds to 4.
    const auto bands = Bands(2, 7, RgbColor(10, 20, 30), RgbColor(200, 100, 0));
    EXPECT_EQ(bands[0].Left, 0);
    EXPECT_EQ(bands[0].Right, 4);
    EXPECT_EQ(bands[1].Left, 4);
    EXPECT_EQ(bands[1].Right, 7);
    EXPECT_EQ(bands[0].Color, RgbColor(10, 20, 30));
    EXPECT_EQ(bands[1].Color, RgbColor(200, 100, 0));
}

TEST(ColorTest, SixtyFourBandsTileTheWidthWithHalvesRoundedUp) {
    const auto bands = Bands(64, 100, kBlack, RgbColor(255, 0, 0));
    EXPECT_EQ(bands.front().Left, 0);
    EXPECT_EQ(bands.back().Right, 100);
    for (std::size_t i = 1; i < bands.size(); ++i) {
        EXPECT_EQ(bands[i].Left, bands[i - 1].Right) << "band " << i;
    }
    EXPECT_EQ(bands[1].Left, 2);   // 1.5625
    EXPECT_EQ(bands[8].Left, 13);  // 12.5
    EXPECT_EQ(bands[24].Left, 38); // 37.5
    EXPECT_EQ(bands[40].Left, 63); // 62.5
    EXPECT_EQ(bands[63].Left, 98); // 98.4375
    // Red: i * 255 / 63.
    EXPECT_EQ(bands[1].Color, RgbColor(4, 0, 0));    // 4.05
    EXPECT_EQ(bands[21].Color, RgbColor(85, 0, 0));  // exact
    EXPECT_EQ(bands[32].Color, RgbColor(130, 0, 0)); // 129.52
    EXPECT_EQ(bands[63].Color, RgbColor(255, 0, 0));
}

TEST(ColorTest, NarrowWidthsGiveEmptyBandsButNoGaps) {
    // 64 bands over 1 pixel: band 31 owns it, its right edge 32 / 64 = 0.5
    // rounding to 1; every other band is empty.
    const auto bands = Bands(64, 1, kBlack, kWhite);
    int covered = 0;
    for (const TGradientBand& band : bands) {
        EXPECT_LE(band.Left, band.Right);
        covered += band.Right - band.Left;
    }
    EXPECT_EQ(covered, 1);
    EXPECT_EQ(bands[30].Right, 0);
    EXPECT_EQ(bands[31].Left, 0);
    EXPECT_EQ(bands[31].Right, 1);
    EXPECT_EQ(bands[32].Left, 1);
}

TEST(ColorTest, HalvesRoundAwayFromZeroRisingAndFalling) {
    // 255 bands: the divisor 254 makes band 127 land on a half.
    // Rising 0 -> 255: 127 * 255 / 254 = 127.5 -> 128.
    EXPECT_EQ(GradientBand(127, 255, 510, kBlack, kWhite).Color, RgbColor(128, 128, 128));
    // Falling 255 -> 0: 127 * -255 / 254 = -127.5 -> -128, so 255 - 128.
    EXPECT_EQ(GradientBand(127, 255, 510, kWhite, kBlack).Color, RgbColor(127, 127, 127));
    // A one-step ramp turns at the half in both directions.
    EXPECT_EQ(GradientBand(126, 255, 510, RgbColor(0, 1, 0), RgbColor(1, 0, 0)).Color,
              RgbColor(0, 1, 0));
    EXPECT_EQ(GradientBand(127, 255, 510, RgbColor(0, 1, 0), RgbColor(1, 0, 0)).Color,
              RgbColor(1, 0, 0));
}

TEST(ColorTest, TwoHundredFiftyFiveBandsEndOnBothColours) {
    const TColor from = RgbColor(10, 200, 30);
    const TColor to = RgbColor(250, 0, 30);
    const auto bands = Bands(255, 510, from, to);
    EXPECT_EQ(bands.front().Color, from);
    EXPECT_EQ(bands.back().Color, to);
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const int n = static_cast<int>(i);
        EXPECT_EQ(bands[i].Left, 2 * n) << "band " << i;
        EXPECT_EQ(bands[i].Right, 2 * n + 2) << "band " << i;
        // Each channel on its own: red rises, green falls, blue stays.
        EXPECT_EQ(BlueOf(bands[i].Color), 30) << "band " << i;
        if (i > 0) {
            EXPECT_GE(RedOf(bands[i].Color), RedOf(bands[i - 1].Color)) << "band " << i;
            EXPECT_LE(GreenOf(bands[i].Color), GreenOf(bands[i - 1].Color)) << "band " << i;
        }
    }
    // 100 * 240 / 254 = 94.49 -> 94; 100 * -200 / 254 = -78.74 -> -79.
    EXPECT_EQ(bands[100].Color, RgbColor(104, 121, 30));
}
