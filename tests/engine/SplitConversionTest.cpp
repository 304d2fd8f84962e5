// A source converted in two halves on two threads gives the same document as
// one pass, wherever the split falls: inside comments, strings, assembler
// blocks, at line ends, and where the halves never meet again.

#include "engine/PascalParser.h"
#include "tests/engine/EngineTestSupport.h"

#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace {

std::string InOnePass(std::string_view source) {
    TStringSink sink;
    TPascalParser().ConvertSource(source, sink); // small sources are never split
    return sink.text;
}

std::string InTwoHalves(std::string_view source, std::size_t splitAt,
                        std::launch secondHalf = std::launch::async) {
    TStringSink sink;
    TPascalParser().ConvertSourceSplit(source, sink, splitAt, secondHalf);
    return sink.text;
}

// Compares the split conversion with one pass at every split position, the
// second half on its own thread and deferred to the first half's thread.
::testing::AssertionResult SameAtEverySplit(std::string_view source) {
    const std::string expected = InOnePass(source);
    for (std::size_t split = 0; split <= source.size() + 1; ++split) {
        for (const std::launch secondHalf : {std::launch::async, std::launch::deferred}) {
            if (InTwoHalves(source, split, secondHalf) != expected) {
                return ::testing::AssertionFailure()
                       << "split at " << split << " of \"" << source << "\""
                       << (secondHalf == std::launch::deferred ? ", deferred" : "");
            }
        }
    }
    return ::testing::AssertionSuccess();
}

class SplitConversionTest : public ::testing::Test {
protected:
    void SetUp() override { ResetColorsAndStore(); }
};

TEST_F(SplitConversionTest, TokensThatCrossTheSplit) {
    for (std::string_view source : {
             "a\nb\nc\n",
             "{ a\nb\n}\nx := 1;\ny\n",            // brace comment over the split
             "(* a\n*)\n)\nb\n*)\nc\n",            // the second half sees a different comment
             "asm\n mov ax, 1\n@@end:\nend;\nx\n", // assembler block over the split
             "asm\n{\n}\nend\n{\n}\n",
             "'abc\ndef'\n'x\ny\n", // strings end at line ends
             "// c\n// d\n{ e\n",   // a comment that runs to the end
             "x\n{\n\n\n\n",        // the halves never meet
             "\n\n\n",
             "no line end at all",
             "ends with a line end\n",
         }) {
        EXPECT_TRUE(SameAtEverySplit(source));
    }
}

TEST_F(SplitConversionTest, RandomLinesOfPascalFragments) {
    const std::vector<std::string> pieces = {
        "asm", "end", "End", "begin", "@@end:", "(*", "*)",    "*",   ")",    "(",
        "//",  "/",   "{",   "}",     "'",      "\n", "\n",    "\n",  "\r\n", "\\",
        "#13", "$FF", "1.5", "abc",   " ",      ";",  "x_end", "\xe4"};
    std::mt19937 random(7);
    for (int n = 0; n < 150; ++n) {
        std::string source;
        const int count = static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            source += pieces[random() % pieces.size()];
        }
        ASSERT_TRUE(SameAtEverySplit(source));
    }
}

TEST_F(SplitConversionTest, HalvesThatMeetOnlyFarFromTheSplit) {
    // The split falls into a comment of more lines than the second half notes
    // line starts for, and the second half reads those lines as code.
    std::string source = "{\n";
    for (int i = 0; i < 70000; ++i) {
        source += "a:='x';(*b*)\n"; // 13 bytes: the whole stays below the split size
    }
    source += "}\nc := 1;\n";
    const std::string expected = InOnePass(source);
    EXPECT_EQ(InTwoHalves(source, 100), expected);
    // Within the noted line starts: the halves meet just past the comment.
    EXPECT_EQ(InTwoHalves(source, source.size() - 40 * 13), expected);
}

TEST_F(SplitConversionTest, LargeSampleTakesTheSplitPath) {
    std::ifstream file(LUMIVANE_SAMPLE_FILE, std::ios::binary);
    ASSERT_TRUE(file) << LUMIVANE_SAMPLE_FILE;
    std::stringstream content;
    content << file.rdbuf();
    std::string source;
    while (source.size() < (2u << 20)) { // above the size that is split
        source += content.str();
    }
    TStringSink whole;
    TPascalParser().ConvertSourceSplit(source, whole, source.size()); // no second half
    TStringSink split;
    TPascalParser().ConvertSource(source, split);
    EXPECT_EQ(split.text, whole.text);
    EXPECT_EQ(split.text, InTwoHalves(source, source.size() / 3));
}

} // namespace
