// The engine against the plain reference converter, and the shape of every
// document, over exhaustive short inputs, random token soups and mutations of
// real Pascal.

#include "engine/PascalParser.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/engine/ReferenceConverter.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace {

class DifferentialTest : public ::testing::Test {
protected:
    void SetUp() override { ResetColorsAndStore(); }

    // True when engine and reference agree and the document is well formed;
    // reports the first difference otherwise.
    static ::testing::AssertionResult Agrees(std::string_view source) {
        const std::string document = Document(source);
        const std::string header = TPascalParser::BuildHeader();
        const std::string expected =
            header + ReferenceBody(source) + std::string(TPascalParser::kTrailer);
        if (document != expected) {
            std::size_t at = 0;
            while (at < document.size() && at < expected.size() && document[at] == expected[at]) {
                ++at;
            }
            return ::testing::AssertionFailure()
                   << "source \"" << source << "\" differs at document offset " << at
                   << "\n engine:    " << document.substr(header.size())
                   << "\n reference: " << expected.substr(header.size());
        }
        const std::string fault = WellFormedness(document);
        if (!fault.empty()) {
            return ::testing::AssertionFailure() << fault << " for source \"" << source << "\"";
        }
        return ::testing::AssertionSuccess();
    }
};

// Bytes that steer the scanner, plus a few that do not.
constexpr std::string_view kSteering = "aEnd(*)/{}'\n\r\\#$1_.e";

TEST_F(DifferentialTest, EveryShortInput) {
    std::string source;
    for (std::size_t length = 0; length <= 4; ++length) {
        source.assign(length, ' ');
        std::size_t combinations = 1;
        for (std::size_t i = 0; i < length; ++i) {
            combinations *= kSteering.size();
        }
        for (std::size_t n = 0; n < combinations; ++n) {
            std::size_t digits = n;
            for (char& c : source) {
                c = kSteering[digits % kSteering.size()];
                digits /= kSteering.size();
            }
            ASSERT_TRUE(Agrees(source));
        }
    }
}

TEST_F(DifferentialTest, EveryShortAssemblerBlock) {
    constexpr std::string_view inBlock = "End(*)/{}'\n\\x_@";
    std::string source = "asm   ";
    for (std::size_t n = 0; n < inBlock.size() * inBlock.size() * inBlock.size(); ++n) {
        source[3] = inBlock[n % inBlock.size()];
        source[4] = inBlock[n / inBlock.size() % inBlock.size()];
        source[5] = inBlock[n / inBlock.size() / inBlock.size()];
        ASSERT_TRUE(Agrees(source));
        ASSERT_TRUE(Agrees(source + "nd end"));
    }
}

// Random sequences of Pascal fragments and stray bytes.
TEST_F(DifferentialTest, RandomTokenSoup) {
    const std::vector<std::string> pieces = {
        "asm",  "ASM",   "Asm",   "end",     "END",   "End",     "begin", "assembler", "@@end:",
        "_end", "x_end", "(*",    "*)",      "*",     ")",       "(",     "//",        "/",
        "{",    "}",     "{$R+}", "'",       "''",    "\n",      "\r\n",  "\r",        "\\",
        "#13",  "#",     "$FF",   "$",       "1.5E",  "1..2",    "e",     " ",         "\t",
        "abc",  "if",    "or",    "\x80",    "\xff",  "\xe4",    ";",     ":=",        "_",
        "end1", "Begin", "MOD",   "program", "Unit1", "ABSTRACT"};
    std::mt19937 random(42);
    std::string source;
    for (int n = 0; n < 20000; ++n) {
        source.clear();
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            if (random() % 8 == 0) {
                source += static_cast<char>(random() % 256);
            } else {
                source += pieces[random() % pieces.size()];
            }
        }
        ASSERT_TRUE(Agrees(source));
    }
}

TEST_F(DifferentialTest, MutatedSample) {
    std::ifstream file(LUMIVANE_SAMPLE_FILE, std::ios::binary);
    ASSERT_TRUE(file) << LUMIVANE_SAMPLE_FILE;
    std::stringstream content;
    content << file.rdbuf();
    const std::string sample = content.str();
    ASSERT_TRUE(Agrees(sample));

    std::mt19937 random(1998);
    for (int n = 0; n < 3000; ++n) {
        std::string source = sample;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !source.empty(); ++e) {
            const std::size_t at = random() % source.size();
            const char byte = random() % 2 ? kSteering[random() % kSteering.size()]
                                           : static_cast<char>(random() % 256);
            switch (random() % 4) {
            case 0:
                source[at] = byte;
                break;
            case 1:
                source.insert(at, 1, byte);
                break;
            case 2:
                source.erase(at, 1 + random() % 20);
                break;
            default:
                source.resize(at); // cut off mid-token
                break;
            }
        }
        ASSERT_TRUE(Agrees(source));
    }
}

TEST_F(DifferentialTest, LongRunsCrossTheOutputBuffer) {
    // Tokens longer than the writer's buffer, and tokens straddling its edge.
    const std::string longText(200000, 'x');
    for (const std::string& source :
         {"{" + longText + "}", "'" + longText + "'", "(*" + longText, "//" + longText,
          "asm " + longText + " end", longText, std::string(100000, '\n'), std::string(70000, '}'),
          std::string(70000, '#'), std::string(30000, '{')}) {
        ASSERT_TRUE(Agrees(source)) << source.size();
    }
}

} // namespace
