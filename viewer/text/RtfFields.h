#pragma once
// Fields whose instruction alone says what they show: a view shows a field's
// stored result, and for a field without one, what its instruction gives.

#include <optional>
#include <string>
#include <string_view>

namespace text {

// A SYMBOL field: character CODE of FONT ("" for the text's own font), or the
// Unicode character CODE (\u, or a code above 255).
struct TSymbolField {
    int Code = 0;
    std::string Font;
    bool Unicode = false;
};

// The SYMBOL field INSTRUCTION names ("SYMBOL 183 \f "Symbol" \s 10"), or
// nothing for another field or a code that is no character.
std::optional<TSymbolField> ParseSymbolField(std::string_view instruction);

} // namespace text
