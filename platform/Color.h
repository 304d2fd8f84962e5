#pragma once
// Colour values as the program stores them: 0x00BBGGRR (red in the low byte),
// or a system-colour code whose top bit is set and whose low byte is the
// system-colour number. Channels are read here and nowhere else.

#include <cstdint>

using TColor = std::uint32_t;

// Top bit of a system-colour code.
constexpr TColor kSystemColorFlag = 0x80000000u;

constexpr int RedOf(TColor rgb) {
    return static_cast<int>(rgb & 0xFFu);
}
constexpr int GreenOf(TColor rgb) {
    return static_cast<int>((rgb >> 8) & 0xFFu);
}
constexpr int BlueOf(TColor rgb) {
    return static_cast<int>((rgb >> 16) & 0xFFu);
}
// Channels outside 0..255 are cut to their low byte, as the platform's RGB does.
constexpr TColor RgbColor(int red, int green, int blue) {
    return (static_cast<TColor>(red) & 0xFFu) | ((static_cast<TColor>(green) & 0xFFu) << 8) |
           ((static_cast<TColor>(blue) & 0xFFu) << 16);
}

// The system colours by name, as system-colour codes: drawn with the colour
// the system has at the time, so a palette change shows at the next paint.
constexpr TColor clScrollBar = kSystemColorFlag | 0;
constexpr TColor clBackground = kSystemColorFlag | 1;
constexpr TColor clActiveCaption = kSystemColorFlag | 2;
constexpr TColor clInactiveCaption = kSystemColorFlag | 3;
constexpr TColor clMenu = kSystemColorFlag | 4;
constexpr TColor clWindow = kSystemColorFlag | 5;
constexpr TColor clWindowFrame = kSystemColorFlag | 6;
constexpr TColor clMenuText = kSystemColorFlag | 7;
constexpr TColor clWindowText = kSystemColorFlag | 8;
constexpr TColor clCaptionText = kSystemColorFlag | 9;
constexpr TColor clActiveBorder = kSystemColorFlag | 10;
constexpr TColor clInactiveBorder = kSystemColorFlag | 11;
constexpr TColor clAppWorkSpace = kSystemColorFlag | 12;
constexpr TColor clHighlight = kSystemColorFlag | 13;
constexpr TColor clHighlightText = kSystemColorFlag | 14;
constexpr TColor clBtnFace = kSystemColorFlag | 15;
constexpr TColor clBtnShadow = kSystemColorFlag | 16;
constexpr TColor clGrayText = kSystemColorFlag | 17;
constexpr TColor clBtnText = kSystemColorFlag | 18;
constexpr TColor clInactiveCaptionText = kSystemColorFlag | 19;
constexpr TColor clBtnHighlight = kSystemColorFlag | 20;
constexpr TColor cl3DDkShadow = kSystemColorFlag | 21;
constexpr TColor cl3DLight = kSystemColorFlag | 22;
constexpr TColor clInfoText = kSystemColorFlag | 23;
constexpr TColor clInfoBk = kSystemColorFlag | 24;

constexpr bool IsSystemColor(TColor color) {
    return (color & kSystemColorFlag) != 0;
}

// The colour as 0x00BBGGRR: a system-colour code becomes the current system
// colour of its number, any other value keeps its low three bytes.
TColor ColorToRGB(TColor color);

// One band of a left-to-right gradient of COUNT bands over WIDTH pixels: band
// INDEX spans [Left, Right) and has its colour between FROM (band 0) and TO
// (band COUNT - 1), each channel by MulDiv. One band takes FROM.
struct TGradientBand {
    int Left;
    int Right;
    TColor Color;
};
TGradientBand GradientBand(int index, int count, int width, TColor from, TColor to);
