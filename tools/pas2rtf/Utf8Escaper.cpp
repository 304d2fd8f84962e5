#include "tools/pas2rtf/Utf8Escaper.h"

#include "viewer/text/CodePage.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Writes one UTF-16 unit as \uN?, N signed 16-bit as RTF has it.
char* FormatUnit(char* out, char16_t unit) {
    *out++ = '\\';
    *out++ = 'u';
    unsigned value = unit;
    if (value > 32767) {
        *out++ = '-';
        value = 65536 - value;
    }
    char digits[5];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) {
        *out++ = digits[--count];
    }
    *out++ = '?';
    return out;
}

} // namespace

TUtf8Escaper::TUtf8Escaper()
    : escapes_(static_cast<TEscape*>(std::calloc(65536, sizeof(TEscape)))) {
    if (!escapes_) {
        throw std::bad_alloc();
    }
}

inline char* TUtf8Escaper::PutUnit(char* out, char16_t unit) {
    TEscape& escape = escapes_[unit];
    if (escape.Length == 0) {
        escape.Length = static_cast<unsigned char>(FormatUnit(escape.Text, unit) - escape.Text);
    }
    std::memcpy(out, escape.Text, sizeof escape.Text); // the room is there: see kStepRoom
    return out + escape.Length;
}

inline char* TUtf8Escaper::PutCodePoint(char* out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out = PutUnit(out, static_cast<char16_t>(0xD800 + (cp >> 10)));
        return PutUnit(out, static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
    return PutUnit(out, static_cast<char16_t>(cp));
}

char* TUtf8Escaper::PutCharacter(char* out, char32_t cp) {
    return PutCodePoint(out, cp);
}

char* TUtf8Escaper::Escape(const char*& p, const char* end, char* out, const char* limit) {
    const char* in = p;
    while (in < end && out < limit) {
        if (static_cast<unsigned char>(*in) < 0x80) {
            if (end - in < 8) {
                *out++ = *in++;
                continue;
            }
            std::uint64_t word;
            std::memcpy(&word, in, sizeof word);
            std::memcpy(out, &word, sizeof word);
            const std::uint64_t high = word & kHighBits;
            // All eight, or the ASCII before the first byte above it: copied already.
            const std::size_t ascii =
                high == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(high) / 8);
            in += ascii;
            out += ascii;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length =
            Utf8CharAt(std::string_view(in, static_cast<std::size_t>(end - in)), 0, cp);
        if (length == 0) {
            // Not part of a UTF-8 character: the Windows-1252 character of the byte.
            out = PutCodePoint(out, DecodeWindows1252(static_cast<unsigned char>(*in)));
            ++in;
        } else {
            out = PutCodePoint(out, cp);
            in += length;
        }
    }
    p = in;
    return out;
}
