#include "viewer/text/CodePage.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace {

// 0x80-0x9F of Windows-1252; the five unassigned bytes map to the C1 controls
// of the same value, as the platform's own conversion does.
constexpr std::array<char16_t, 32> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t kReplacement = 0xFFFD;

// RAII for one iconv conversion to UTF-16LE.
class TIconv {
public:
    explicit TIconv(const std::string& from) : cd_(iconv_open("UTF-16LE", from.c_str())) {}
    ~TIconv() {
        if (Ok()) {
            iconv_close(cd_);
        }
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts BYTES; errno-style result: 0 ok, EINVAL incomplete, EILSEQ invalid.
    int Convert(std::string_view bytes, std::u16string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char outBuf[32];
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* outPtr = outBuf;
        std::size_t outLeft = sizeof outBuf;
        int result = 0;
        if (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            result = errno;
        }
        out.clear();
        for (char* p = outBuf; p + 1 < outPtr; p += 2) {
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                                (static_cast<unsigned char>(p[1]) << 8)));
        }
        return result;
    }

private:
    iconv_t cd_;
};

std::string IconvNameOf(int number) {
    switch (number) {
    case 10000:
        return "MACINTOSH";
    case 950:
        return "BIG5";
    default:
        return "CP" + std::to_string(number);
    }
}

} // namespace

char16_t DecodeWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kHigh1252[byte - 0x80];
    }
    return byte;
}

int EncodeWindows1252(char16_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
        return ch;
    }
    for (std::size_t i = 0; i < kHigh1252.size(); ++i) {
        if (kHigh1252[i] == ch) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

std::u16string DecodeWindows1252(std::string_view bytes) {
    std::u16string out;
    out.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[i] = DecodeWindows1252(static_cast<unsigned char>(bytes[i]));
    }
    return out;
}

TCodePage::TCodePage(int number) {
    for (int b = 0; b < 256; ++b) {
        table_[b] = DecodeWindows1252(static_cast<unsigned char>(b));
    }
    if (number == 1252 || number <= 0) {
        return;
    }
    TIconv converter(IconvNameOf(number));
    if (!converter.Ok()) {
        return; // not available here: keep 1252
    }
    number_ = number;
    iconvName_ = IconvNameOf(number);
    std::u16string out;
    for (int b = 0x80; b < 256; ++b) {
        char byte = static_cast<char>(b);
        int result = converter.Convert(std::string_view(&byte, 1), out);
        if (result == EINVAL) {
            lead_[b] = true;
            table_[b] = kReplacement;
        } else {
            table_[b] = (result == 0 && out.size() == 1) ? out[0] : kReplacement;
        }
    }
}

std::u16string TCodePage::DecodePair(unsigned char lead, unsigned char trail) const {
    if (iconvName_.empty()) {
        return {kReplacement};
    }
    TIconv converter(iconvName_);
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    std::u16string out;
    if (!converter.Ok() || converter.Convert(std::string_view(bytes, 2), out) != 0 || out.empty()) {
        return {kReplacement};
    }
    return out;
}

int CodePageOfCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return 0; // ANSI, default, symbol and OEM sets: the document's code page
    }
}

bool DecodeUtf8(std::string_view bytes, std::u16string& out) {
    out.clear();
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = Utf8CharAt(bytes, i, cp);
        if (len == 0) {
            return false;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return true;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

const TCodePage* TCodePageCache::Numbered(int number) {
    if (number <= 0) {
        return nullptr;
    }
    if (number >= static_cast<int>(unavailable_.size()) || unavailable_[number]) {
        return &windows1252_;
    }
    auto found = pages_.find(number);
    if (found != pages_.end()) {
        return found->second.get();
    }
    auto page = std::make_unique<TCodePage>(number);
    if (page->Number() != number) {
        unavailable_[number] = true;
        return &windows1252_;
    }
    return pages_.emplace(number, std::move(page)).first->second.get();
}
