#include "engine/ColorScheme.h"

#include <cstdio>
#include <limits>
#include <stdexcept>

std::array<TColorSlot, 7> ColorSlots = {{
    {"clFGround", "Foreground", kDefaultSlotColors[ciForeground]},
    {"clBGround", "Background", kDefaultSlotColors[ciBackground]},
    {"clString", "String", kDefaultSlotColors[ciString]},
    {"clComment", "Comment", kDefaultSlotColors[ciComment]},
    {"clNumber", "Number", kDefaultSlotColors[ciNumber]},
    {"clAssembler", "Assembler", kDefaultSlotColors[ciAssembler]},
    {"clKeyword", "Keyword", kDefaultSlotColors[ciKeyword]},
}};

const std::array<TColorName, 42> kColorNames = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clScrollBar", kSystemColorFlag | 0},
    {"clBackground", kSystemColorFlag | 1},
    {"clActiveCaption", kSystemColorFlag | 2},
    {"clInactiveCaption", kSystemColorFlag | 3},
    {"clMenu", kSystemColorFlag | 4},
    {"clWindow", kSystemColorFlag | 5},
    {"clWindowFrame", kSystemColorFlag | 6},
    {"clMenuText", kSystemColorFlag | 7},
    {"clWindowText", kSystemColorFlag | 8},
    {"clCaptionText", kSystemColorFlag | 9},
    {"clActiveBorder", kSystemColorFlag | 10},
    {"clInactiveBorder", kSystemColorFlag | 11},
    {"clAppWorkSpace", kSystemColorFlag | 12},
    {"clHighlight", kSystemColorFlag | 13},
    {"clHighlightText", kSystemColorFlag | 14},
    {"clBtnFace", kSystemColorFlag | 15},
    {"clBtnShadow", kSystemColorFlag | 16},
    {"clGrayText", kSystemColorFlag | 17},
    {"clBtnText", kSystemColorFlag | 18},
    {"clInactiveCaptionText", kSystemColorFlag | 19},
    {"clBtnHighlight", kSystemColorFlag | 20},
    {"cl3DDkShadow", kSystemColorFlag | 21},
    {"cl3DLight", kSystemColorFlag | 22},
    {"clInfoText", kSystemColorFlag | 23},
    {"clInfoBk", kSystemColorFlag | 24},
    {"clNone", 0x1FFFFFFF},
}};

namespace {

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i])) {
            return false;
        }
    }
    return true;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Blanks, an optional sign, then decimal digits or "$" and hex digits, and
// nothing after them. A decimal must fit a signed 32-bit integer, a hex value
// 32 bits; a hex value with the top bit set is a system-colour code.
bool ParseIntegerText(std::string_view text, TColor& result) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    const std::uint64_t limit =
        base == 16 ? 0xFFFFFFFFu
                   : static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) +
                         (negative ? 1 : 0);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit < 0 || digit >= base) {
            return false;
        }
        value = value * base + static_cast<unsigned>(digit);
        if (value > limit) {
            return false;
        }
    }
    const auto magnitude = static_cast<TColor>(value);
    result = negative ? static_cast<TColor>(0u - magnitude) : magnitude;
    return true;
}

} // namespace

std::string ColorToString(TColor color) {
    for (const TColorName& entry : kColorNames) {
        if (entry.Value == color) {
            return std::string(entry.Name);
        }
    }
    char text[10];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
    return text;
}

TColor StringToColor(std::string_view text) {
    for (const TColorName& entry : kColorNames) {
        if (SameTextAscii(entry.Name, text)) {
            return entry.Value;
        }
    }
    TColor value = 0;
    if (!ParseIntegerText(text, value)) {
        throw std::invalid_argument("'" + std::string(text) + "' is not a valid integer value");
    }
    return value;
}
