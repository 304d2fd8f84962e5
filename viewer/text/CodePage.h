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
inline std::size_t Utf8CharAt(std::string_view bytes, std::size_t at, char32_t& cp);

// What the bytes above ASCII in some data are, found in one pass.
enum class TEightBitText {
    kNone,  // pure ASCII
    kUtf8,  // every one of them is part of a strict UTF-8 character
    kOther, // not UTF-8: a legacy code page
};
TEightBitText ClassifyEightBitText(std::string_view data);
std::string ToUtf8(std::u16string_view text);

inline std::size_t Utf8CharAt(std::string_view bytes, std::size_t at, char32_t& cp) {
    const std::size_t n = bytes.size();
    if (at >= n) {
        return 0;
    }
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b = byteAt(at);
    std::size_t len;
    if (b >= 0xC2 && b <= 0xDF) {
        cp = b & 0x1F;
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        cp = b & 0x0F;
        len = 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
        cp = b & 0x07;
        len = 4;
    } else {
        return 0; // ASCII, a trail byte, or a lead byte no valid character has
    }
    if (n - at < len) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const unsigned char trail = byteAt(at + k);
        if ((trail & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (trail & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}
