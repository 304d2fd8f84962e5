#pragma once
// The scanner's byte tables: what the main loop does with a byte, the
// continuation sets of the run tokens, and the bytes each group looks at.

#include <array>
#include <string_view>

namespace engine {

using Byte = unsigned char;

constexpr Byte ToByte(char c) {
    return static_cast<Byte>(c);
}

// What the main loop does with a token's first byte.
enum TAction : Byte {
    actPlain, // copied unchanged; runs of these are copied at once
    actLineEnd,
    actCharCode,
    actHexNumber,
    actString,
    actParen,
    actSlash,
    actNumber,
    actLetter,
    actUnderscore,
    actBackslash,
    actBraceComment,
    actCloseBrace,
};

constexpr std::array<Byte, 256> MakeActions() {
    std::array<Byte, 256> table{};
    table['\n'] = actLineEnd;
    table['#'] = actCharCode;
    table['$'] = actHexNumber;
    table['\''] = actString;
    table['('] = actParen;
    table['/'] = actSlash;
    for (int c = '0'; c <= '9'; ++c) {
        table[c] = actNumber;
    }
    for (int c = 'A'; c <= 'Z'; ++c) {
        table[c] = actLetter;
        table[c + 'a' - 'A'] = actLetter;
    }
    table['_'] = actUnderscore;
    table['\\'] = actBackslash;
    table['{'] = actBraceComment;
    table['}'] = actCloseBrace;
    return table;
}
inline constexpr std::array<Byte, 256> kActions = MakeActions();

// Continuation sets of the run readers, one bit each.
enum TContinuation : Byte {
    inIdentifier = 1,
    inCharCode = 2,
    inNumber = 4,
    inHexNumber = 8,
};

constexpr std::array<Byte, 256> MakeContinuations() {
    std::array<Byte, 256> table{};
    auto add = [&table](std::string_view bytes, Byte set) {
        for (char c : bytes) {
            table[ToByte(c)] |= set;
        }
    };
    add("#0123456789_", inIdentifier);
    add("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", inIdentifier);
    add("#0123456789", inCharCode);
    add(".0123456789Ee", inNumber);
    add("$0123456789ABCDEFabcdef", inHexNumber);
    return table;
}
inline constexpr std::array<Byte, 256> kContinuations = MakeContinuations();

// The bytes a group must look at; every other byte is copied unchanged.
using TStopSet = std::array<bool, 256>;

constexpr TStopSet MakeStops(std::string_view bytes, bool letters = false) {
    TStopSet table{};
    for (char c : bytes) {
        table[ToByte(c)] = true;
    }
    for (int c = 'A'; letters && c <= 'Z'; ++c) {
        table[c] = true;
        table[c + 'a' - 'A'] = true;
    }
    return table;
}
inline constexpr TStopSet kStringStops = MakeStops("'\n\\{}");
inline constexpr TStopSet kBraceStops = MakeStops("\n\\{}");
inline constexpr TStopSet kParenStops = MakeStops("*)\n\\{}");
inline constexpr TStopSet kLineStops = MakeStops("\n\\{}");
inline constexpr TStopSet kAsmStops = MakeStops("\n\\{}(/", true);

// The scanning loops work on local pointers: a pointer member would have to be
// stored at every step, since a read through a char pointer may alias it.
inline const char* SkipPlain(const char* cursor, const char* end) {
    while (cursor < end && kActions[ToByte(*cursor)] == actPlain) {
        ++cursor;
    }
    return cursor;
}

inline const char* SkipRun(const char* cursor, const char* end, Byte continuation) {
    while (cursor < end && (kContinuations[ToByte(*cursor)] & continuation) != 0) {
        ++cursor;
    }
    return cursor;
}

inline const char* SkipUntil(const char* cursor, const char* end, const TStopSet& stops) {
    while (cursor < end && !stops[ToByte(*cursor)]) {
        ++cursor;
    }
    return cursor;
}

} // namespace engine
