// The encoding sink's fast ways (eight ASCII bytes at a time, chunks filled
// past their end, a writer thread) against a plain reading of the rule, one
// byte at a time, on random documents cut into random pieces.

#include "tools/pas2rtf/TextEncoding.h"
#include "viewer/text/CodePage.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <string>

namespace {

const std::string kOpening = "{\\rtf1\\ansi";

// The length of the strict UTF-8 character at S[I] and its code point; 0
// when none starts there.
std::size_t CharacterAt(const std::string& s, std::size_t i, char32_t& cp) {
    const auto at = [&](std::size_t k) {
        return k < s.size() ? static_cast<unsigned char>(s[k]) : 0x100u;
    };
    const auto in = [](unsigned b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; };
    const unsigned b0 = at(i);
    std::size_t length = 0;
    unsigned lo = 0x80;
    unsigned hi = 0xBF;
    if (in(b0, 0xC2, 0xDF)) {
        length = 2;
        cp = b0 & 0x1F;
    } else if (in(b0, 0xE0, 0xEF)) {
        length = 3;
        cp = b0 & 0x0F;
        lo = b0 == 0xE0 ? 0xA0 : 0x80;
        hi = b0 == 0xED ? 0x9F : 0xBF;
    } else if (in(b0, 0xF0, 0xF4)) {
        length = 4;
        cp = b0 & 0x07;
        lo = b0 == 0xF0 ? 0x90 : 0x80;
        hi = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned b = at(i + k);
        if (!(k == 1 ? in(b, lo, hi) : in(b, 0x80, 0xBF))) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    return length;
}

void AppendUnit(std::string& out, unsigned unit) {
    const int signedUnit = unit > 32767 ? static_cast<int>(unit) - 65536 : static_cast<int>(unit);
    out += "\\u" + std::to_string(signedUnit) + "?";
}

// The document as the rule has it, built one byte at a time.
std::string Expected(const std::string& document) {
    std::string out = kOpening + "\\uc1";
    for (std::size_t i = kOpening.size(); i < document.size();) {
        const auto byte = static_cast<unsigned char>(document[i]);
        char32_t cp = 0;
        std::size_t length = byte < 0x80 ? 1 : CharacterAt(document, i, cp);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else if (length == 0) {
            AppendUnit(out, DecodeWindows1252(byte));
            length = 1;
        } else if (cp >= 0x10000) {
            AppendUnit(out, 0xD800 + ((cp - 0x10000) >> 10));
            AppendUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            AppendUnit(out, cp);
        }
        i += length;
    }
    return out;
}

// A document of about SIZE bytes: lines of ASCII, 2-, 3- and 4-byte
// characters and, when BAD, bytes and sequences that are no UTF-8.
std::string RandomDocument(std::mt19937& random, std::size_t size, bool bad) {
    static const std::string kGood[] = {"x",
                                        "begin s := 'abc'; end;",
                                        "\\par ",
                                        "\n",
                                        "\xc3\xa9",
                                        "\xce\xb1\xce\xb2",
                                        "\xe4\xb8\xad\xe6\x96\x87",
                                        "\xe2\x82\xac",
                                        "\xef\xbf\xbf",
                                        "\xf0\x9f\x98\x80",
                                        "\xf4\x8f\xbf\xbf",
                                        "\xc2\xa0",
                                        "\xed\x9f\xbf"};
    static const std::string kBad[] = {"\xe9",     "\x80",         "\xff",
                                       "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80",
                                       "\xe4\xb8", "\xf0\x9f\x98", "\xf0\x80\x80\x80"};
    std::string document = kOpening;
    while (document.size() < size) {
        if (bad && random() % 8 == 0) {
            document += kBad[random() % std::size(kBad)];
        } else {
            document += kGood[random() % std::size(kGood)];
        }
    }
    return document;
}

// Where two documents first differ, and how they go on from there; empty
// when they are the same. Megabytes of both are not worth printing.
std::string Difference(const std::string& actual, const std::string& expected) {
    if (actual == expected) {
        return "";
    }
    const auto [a, e] =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    const std::size_t at = static_cast<std::size_t>(a - actual.begin());
    return "differ at " + std::to_string(at) + " of " + std::to_string(expected.size()) + ": '" +
           actual.substr(at, 40) + "' instead of '" + expected.substr(at, 40) + "'";
}

std::string ThroughSink(const std::string& document, std::mt19937& random, std::size_t maxPiece) {
    TStringSink out;
    TEncodingSink sink(out, TTextWriting::kUtf8);
    for (std::size_t at = 0; at < document.size();) {
        const std::size_t piece = 1 + random() % maxPiece;
        sink.Write(std::string_view(document).substr(at, piece));
        at += piece;
    }
    sink.Finish();
    return out.text;
}

TEST(EncodingSinkFastPaths, SmallPiecesCutAnywhereGiveTheRulesDocument) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const std::string document = RandomDocument(random, 1 + random() % 3000, round % 2 == 1);
        const std::size_t maxPiece = round % 3 == 0 ? 3 : round % 3 == 1 ? 17 : 5000;
        ASSERT_EQ(ThroughSink(document, random, maxPiece), Expected(document)) << "round " << round;
    }
}

// Pieces of several megabytes fill many chunks in one write; a chunk's end
// falls wherever it falls, inside a character's escape too.
TEST(EncodingSinkFastPaths, LargePiecesGiveTheRulesDocument) {
    std::mt19937 random(11);
    for (int round = 0; round < 6; ++round) {
        const std::string document =
            RandomDocument(random, (9u << 20) + random() % 4096, round % 2 == 1);
        TStringSink out;
        TEncodingSink sink(out, TTextWriting::kUtf8);
        // A small first piece, as the engine's first half comes, then the rest at once.
        const std::size_t first = 1 + random() % 70000;
        sink.Write(std::string_view(document).substr(0, first));
        sink.Write(std::string_view(document).substr(first));
        sink.Finish();
        ASSERT_EQ(Difference(out.text, Expected(document)), "") << "round " << round;
    }
    // A run of trail bytes longer than any character, each its own escape.
    std::string trails = kOpening + std::string(6u << 20, 'a');
    trails.replace(trails.size() / 2 - 8, 16, std::string(16, '\x80'));
    TStringSink out;
    TEncodingSink sink(out, TTextWriting::kUtf8);
    sink.Write(trails);
    sink.Finish();
    EXPECT_EQ(Difference(out.text, Expected(trails)), "");
}

// A sink that fails on its Nth write, as a full disk does.
class TFailingSink : public TByteSink {
public:
    explicit TFailingSink(int failAt) : failAt_(failAt) {}
    void Write(std::string_view bytes) override {
        if (++writes_ == failAt_) {
            throw std::runtime_error("disk full");
        }
        written += bytes.size();
    }
    std::size_t written = 0;

private:
    int failAt_;
    int writes_ = 0;
};

TEST(EncodingSinkFastPaths, AFailedWriteReachesTheWriterOfTheDocument) {
    std::mt19937 random(3);
    const std::string document = RandomDocument(random, 12u << 20, false);
    for (int failAt : {1, 2, 5}) {
        TFailingSink failing(failAt);
        try {
            TEncodingSink sink(failing, TTextWriting::kUtf8);
            for (std::size_t at = 0; at < document.size(); at += 65536) {
                sink.Write(std::string_view(document).substr(at, 65536));
            }
            sink.Finish();
            ADD_FAILURE() << "no error for a failure at write " << failAt;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "disk full");
        }
    }
    // Given up half way, as when the conversion fails: nothing hangs.
    TStringSink out;
    {
        TEncodingSink sink(out, TTextWriting::kUtf8);
        sink.Write(document);
    }
    SUCCEED();
}

} // namespace
