// The whole-data UTF-8 check against a plain reading of the rule, one
// character at a time, on every lead and second byte, at every place a
// 32-byte block of the fast path can cut, and on random mixes.

#include "viewer/text/CodePage.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

// Strict UTF-8 as the standard's table of well-formed sequences gives it.
std::size_t ReferenceLength(const std::string& s, std::size_t i) {
    const auto at = [&](std::size_t k) {
        return k < s.size() ? static_cast<unsigned char>(s[k]) : 0x100u;
    };
    const unsigned b0 = at(i);
    const auto in = [](unsigned b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; };
    if (b0 < 0x80) {
        return 1;
    }
    if (in(b0, 0xC2, 0xDF)) {
        return in(at(i + 1), 0x80, 0xBF) ? 2 : 0;
    }
    unsigned lo = 0x80;
    unsigned hi = 0xBF;
    if (in(b0, 0xE0, 0xEF)) {
        lo = b0 == 0xE0 ? 0xA0 : 0x80;
        hi = b0 == 0xED ? 0x9F : 0xBF;
        return in(at(i + 1), lo, hi) && in(at(i + 2), 0x80, 0xBF) ? 3 : 0;
    }
    if (in(b0, 0xF0, 0xF4)) {
        lo = b0 == 0xF0 ? 0x90 : 0x80;
        hi = b0 == 0xF4 ? 0x8F : 0xBF;
        return in(at(i + 1), lo, hi) && in(at(i + 2), 0x80, 0xBF) && in(at(i + 3), 0x80, 0xBF) ? 4
                                                                                               : 0;
    }
    return 0;
}

TEightBitText Reference(const std::string& s) {
    bool any = false;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = ReferenceLength(s, i);
        if (length == 0) {
            return TEightBitText::kOther;
        }
        any = any || length > 1;
        i += length;
    }
    return any ? TEightBitText::kUtf8 : TEightBitText::kNone;
}

const char* Name(TEightBitText text) {
    switch (text) {
    case TEightBitText::kNone:
        return "ASCII";
    case TEightBitText::kUtf8:
        return "UTF-8";
    case TEightBitText::kOther:
        return "other";
    }
    return "?";
}

// Bytes that sit on the edges of the ranges above.
constexpr unsigned char kEdges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0,
                                    0xBF, 0xC0, 0xC2, 0xDF, 0xE0, 0xED, 0xF0, 0xFF};

TEST(Utf8Scan, EveryLeadAndSecondByteAtEveryBlockEdge) {
    // Places around the first block edge (32), and the end of the data, where
    // the fast path hands over to one character at a time.
    const std::size_t kPlaces[] = {0, 29, 30, 31, 32, 33, 90, 93, 94, 95};
    const std::string filler(96, 'x');
    int failures = 0;
    for (unsigned b0 = 0x80; b0 <= 0xFF; ++b0) {
        for (unsigned b1 = 0; b1 <= 0xFF; ++b1) {
            for (unsigned char b2 : {0x41, 0x80, 0xBF, 0xC3}) {
                for (unsigned char b3 : {0x20, 0x80, 0xBF}) {
                    for (std::size_t place : kPlaces) {
                        std::string data = filler;
                        const char bytes[] = {static_cast<char>(b0), static_cast<char>(b1),
                                              static_cast<char>(b2), static_cast<char>(b3)};
                        data.replace(place, std::min<std::size_t>(4, data.size() - place), bytes,
                                     std::min<std::size_t>(4, data.size() - place));
                        const TEightBitText expected = Reference(data);
                        const TEightBitText actual = ClassifyEightBitText(data);
                        if (actual != expected && ++failures <= 10) {
                            ADD_FAILURE()
                                << std::hex << b0 << " " << b1 << " " << unsigned(b2) << " "
                                << unsigned(b3) << " at " << std::dec << place << ": "
                                << Name(actual) << ", expected " << Name(expected);
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(Utf8Scan, RandomMixesOfCharactersAndBadBytes) {
    const std::string pieces[] = {"a",
                                  "abcdefghijklmnopqrstuvwxyz0123456789",
                                  "\xc3\xa9",
                                  "\xce\xb1",
                                  "\xe4\xb8\xad",
                                  "\xe2\x82\xac",
                                  "\xef\xbb\xbf",
                                  "\xed\x9f\xbf",
                                  "\xf0\x9f\x98\x80",
                                  "\xf4\x8f\xbf\xbf",
                                  "\n"};
    const std::string bad[] = {
        "\x80",         "\xbf",         "\xc0\xaf",         "\xc1\xbf",
        "\xe0\x80\x80", "\xed\xa0\x80", "\xf0\x80\x80\x80", "\xf4\x90\x80\x80",
        "\xf5",         "\xff",         "\xe4\xb8",         "\xf0\x9f\x98",
        "\xc3"};
    std::mt19937 random(1234);
    for (int round = 0; round < 20000; ++round) {
        std::string data;
        const std::size_t length = random() % 300;
        while (data.size() < length) {
            data += pieces[random() % std::size(pieces)];
        }
        if (round % 3 == 0) {
            // One bad sequence anywhere, also cutting a character or ending the data.
            data.insert(random() % (data.size() + 1), bad[random() % std::size(bad)]);
        }
        EXPECT_EQ(ClassifyEightBitText(data), Reference(data))
            << "round " << round << ", " << data.size() << " bytes";
        if (HasFailure()) {
            break;
        }
    }
}

TEST(Utf8Scan, LongDataIsReadWholeAndStopsAtTheFirstBadByteAnywhere) {
    std::string data;
    while (data.size() < (1 << 20)) {
        data += "\xce\xb1\xce\xb2 abc \xe4\xb8\xad\xf0\x9f\x98\x80\n";
    }
    EXPECT_EQ(ClassifyEightBitText(data), TEightBitText::kUtf8);
    EXPECT_EQ(ClassifyEightBitText(std::string(1 << 20, 'a')), TEightBitText::kNone);
    for (std::size_t at : {std::size_t{0}, data.size() / 2 + 1, data.size() - 1}) {
        std::string broken = data;
        broken[at] = static_cast<char>(0xFF); // never part of UTF-8
        EXPECT_EQ(ClassifyEightBitText(broken), TEightBitText::kOther) << at;
    }
    // A lead byte last of all: cut off by the end.
    EXPECT_EQ(ClassifyEightBitText(data + "\xe4"), TEightBitText::kOther);
}

} // namespace
