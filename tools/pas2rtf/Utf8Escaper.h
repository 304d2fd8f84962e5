#pragma once
// Text bytes as RTF Unicode escapes: ASCII as it is, each UTF-8 character as
// \uN? (N signed 16-bit, a surrogate pair above U+FFFF), each byte that is
// not part of a valid UTF-8 character as its Windows-1252 character.

#include <cstddef>
#include <cstdlib>
#include <memory>

class TUtf8Escaper {
public:
    // What one step of Escape may write past the limit it is given: eight
    // bytes of ASCII, or one character as at most "\u-10179?\u-8704?",
    // copied 16 bytes per unit.
    static constexpr std::size_t kStepRoom = 40;

    TUtf8Escaper();

    // Escapes from P on while P < END and OUT < LIMIT, advancing P past what
    // it read; returns where the escaped text ends. [P, END) must not end in
    // the middle of a character that more bytes would complete, and OUT must
    // have kStepRoom bytes beyond LIMIT. One fixed loop, read best whole.
    char* Escape(const char*& p, const char* end, char* out, const char* limit);
    // The escape of one code point.
    char* PutCharacter(char* out, char32_t cp);

private:
    // The escape of one UTF-16 unit, made on its first use: a document uses
    // few distinct characters, many times each.
    struct TEscape {
        char Text[15];
        unsigned char Length; // 0: not made yet
    };
    struct TFree {
        void operator()(TEscape* escapes) const { std::free(escapes); }
    };
    char* PutUnit(char* out, char16_t unit);
    char* PutCodePoint(char* out, char32_t cp); // PutCharacter, inline for the loop

    // By UTF-16 unit; zeroed by the system, so untouched pages cost nothing.
    std::unique_ptr<TEscape[], TFree> escapes_;
};
