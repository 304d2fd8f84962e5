#pragma once
// The openers of the document's coloured groups, "{\cfN" with N the colour
// index of the token class's slot, then the style and a blank. Built from the
// slot enumeration, so that the colour numbers cannot drift from the slots.

#include "engine/ColorScheme.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace engine {

class TGroupOpener {
public:
    constexpr TGroupOpener(TColorIndex slot, std::string_view style) {
        Append("{\\cf");
        char digits[8]{};
        std::size_t count = 0;
        for (int n = static_cast<int>(slot); count == 0 || n > 0; n /= 10) {
            digits[count++] = static_cast<char>('0' + n % 10);
        }
        while (count > 0) {
            text_[size_++] = digits[--count];
        }
        Append(style);
        Append(" ");
    }

    constexpr std::string_view View() const { return {text_.data(), size_}; }

private:
    constexpr void Append(std::string_view part) {
        for (char c : part) {
            text_[size_++] = c;
        }
    }

    std::array<char, 24> text_{};
    std::size_t size_ = 0;
};

inline constexpr TGroupOpener kKeywordGroup{ciKeyword, "\\b"};
inline constexpr TGroupOpener kNumberGroup{ciNumber, ""};
inline constexpr TGroupOpener kStringGroup{ciString, ""};
inline constexpr TGroupOpener kCommentGroup{ciComment, "\\i"};
inline constexpr TGroupOpener kAsmGroup{ciAssembler, ""};

} // namespace engine
