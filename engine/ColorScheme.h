#pragma once
// The colour scheme: seven slots, one per token class, whose position is the
// RTF colour number.

#include "platform/Color.h"

#include <array>
#include <atomic>
#include <string>
#include <string_view>

struct TColorSlot {
    std::string_view ValueName;
    std::string_view DisplayName;
    std::atomic<TColor> Color; // shared by the GUI thread and the converter's worker
};

// Slot positions, which are also the document's colour numbers.
enum TColorIndex : int {
    ciForeground,
    ciBackground,
    ciString,
    ciComment,
    ciNumber,
    ciAssembler,
    ciKeyword,
};

// Foreground, Background, String, Comment, Number, Assembler, Keyword.
extern std::array<TColorSlot, 7> ColorSlots;

// The colours every slot starts with.
inline constexpr std::array<TColor, 7> kDefaultSlotColors = {
    0x000000, // clBlack
    0xFFFFFF, // clWhite
    0x0000FF, // clRed
    0x800000, // clNavy
    0xFF00FF, // clFuchsia
    0x008000, // clGreen
    0x000000, // clBlack
};

struct TColorName {
    std::string_view Name;
    TColor Value;
};
// The named colours in lookup order: 16 fixed, the 25 system colours, clNone.
extern const std::array<TColorName, 42> kColorNames;

// "clNavy" for a named colour, else "$" and eight upper-case hex digits.
std::string ColorToString(TColor color);
// A colour name (any case) or an integer text; throws std::invalid_argument
// naming the text otherwise.
TColor StringToColor(std::string_view text);
