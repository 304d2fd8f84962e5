#pragma once
// Byte-to-Unicode decoding for documents: Windows-1252 built in, other
// Windows code pages through the C library's iconv, UTF-8 for plain text.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One Windows code page. Unknown or unavailable numbers decode as 1252.
class TCodePage {
public:
    explicit TCodePage(int number = 1252);

    int Number() const { return number_; }
    // The character of a single byte; meaningless for a lead byte.
    char16_t Decode(unsigned char byte) const { return table_[byte]; }
    // True when BYTE starts a two-byte character (East Asian code pages).
    bool IsLeadByte(unsigned char byte) const { return lead_[byte]; }
    // The character(s) of a lead byte and its trail byte, U+FFFD when invalid.
    std::u16string DecodePair(unsigned char lead, unsigned char trail) const;

private:
    int number_ = 1252;
    std::string iconvName_;
    std::array<char16_t, 256> table_{};
    std::array<bool, 256> lead_{};
};

// The code pages one document names, each built once. Only code pages this
// system can convert are kept, so a document that names thousands of
// different numbers costs no more than one that names the few that exist;
// every other number reads as 1252.
class TCodePageCache {
public:
    // Null for a number of 0 or less (meaning "the document's").
    const TCodePage* Numbered(int number);
    const TCodePage& Windows1252() const { return windows1252_; }

private:
    TCodePage windows1252_;
    std::unordered_map<int, std::unique_ptr<TCodePage>> pages_;
    std::vector<bool> unavailable_ = std::vector<bool>(65536);
};

// The code page a font's \fcharset stands for, or 0 when it names none.
int CodePageOfCharset(int charset);

char16_t DecodeWindows1252(unsigned char byte);
// The 1252 byte of CH, or -1 when 1252 has none.
int EncodeWindows1252(char16_t ch);
std::u16string DecodeWindows1252(std::string_view bytes);
// Decodes strict UTF-8 (no overlong forms, no surrogates); false when BYTES is not UTF-8.
bool DecodeUtf8(std::string_view bytes, std::u16string& out);
// The strict UTF-8 character starting at BYTES[AT]: its length in bytes, with
// its code point in CP; 0 when no valid character starts there (ASCII included).
// Inline: it is the inner loop of every UTF-8 pass.
[[gnu::always_inline]] inline std::size_t Utf8CharAt(std::string_view bytes, std::size_t at,
                                                     char32_t& cp);

// What the bytes above ASCII in some data are, found in one pass.
enum class TEightBitText {
    kNone,  // pure ASCII
    kUtf8,  // every one of them is part of a strict UTF-8 character
    kOther, // not UTF-8: a legacy code page
};
TEightBitText ClassifyEightBitText(std::string_view data);
std::string ToUtf8(std::u16string_view text);

[[gnu::always_inline]] inline std::size_t Utf8CharAt(std::string_view bytes, std::size_t at,
                                                     char32_t& cp) {
    if (at >= bytes.size()) {
        return 0;
    }
    // Each lead byte's second byte has its own range: that range is what
    // rules out overlong forms, surrogates and code points above U+10FFFF.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
    const std::size_t left = bytes.size() - at;
    const unsigned b0 = p[0];
    const auto isTrail = [](unsigned byte) { return (byte & 0xC0) == 0x80; };
    if (b0 < 0xC2) {
        return 0; // ASCII, a trail byte, or the lead of an overlong two-byte form
    }
    if (b0 < 0xE0) {
        if (left < 2 || !isTrail(p[1])) {
            return 0;
        }
        cp = ((b0 & 0x1F) << 6) | (p[1] & 0x3F);
        return 2;
    }
    if (b0 < 0xF0) {
        if (left < 3) {
            return 0;
        }
        const unsigned b1 = p[1];
        const unsigned low = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned high = b0 == 0xED ? 0x9F : 0xBF;
        if (b1 < low || b1 > high || !isTrail(p[2])) {
            return 0;
        }
        cp = ((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (p[2] & 0x3F);
        return 3;
    }
    if (b0 < 0xF5) {
        if (left < 4) {
            return 0;
        }
        const unsigned b1 = p[1];
        const unsigned low = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned high = b0 == 0xF4 ? 0x8F : 0xBF;
        if (b1 < low || b1 > high || !isTrail(p[2]) || !isTrail(p[3])) {
            return 0;
        }
        cp = ((b0 & 0x07) << 18) | ((b1 & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
        return 4;
    }
    return 0;
}
