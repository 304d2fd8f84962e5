#pragma once
// The colour scheme: seven slots, one per token class, whose position is the
// RTF colour number.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

// 0x00BBGGRR; a value with the top bit set is a system-colour code whose low
// byte is the system-colour number.
using TColor = std::uint32_t;

struct TColorSlot {
    std::string_view ValueName;
    std::string_view DisplayName;
    std::atomic<TColor> Color;  // shared by the GUI thread and the converter's worker
};

// Foreground, Background, String, Comment, Number, Assembler, Keyword.
extern std::array<TColorSlot, 7> ColorSlots;

// "clNavy" for a named colour, else "$" and eight upper-case hex digits.
std::string ColorToString(TColor color);
// A colour name (any case) or an integer text; throws naming the text otherwise.
TColor StringToColor(std::string_view text);
// The colour as 0x00BBGGRR, resolving system-colour codes.
TColor ColorToRGB(TColor color);
