// The keyword table and the keyword test.

#include "engine/PascalParser.h"
#include "tests/engine/ReferenceConverter.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {

TEST(KeywordTest, TableIsTheSixtyEightWordsInAscendingOrder) {
    ASSERT_EQ(Keywords.size(), 68u);
    for (std::size_t i = 0; i < Keywords.size(); ++i) {
        EXPECT_EQ(Keywords[i], kReferenceKeywords[i]) << "index " << i;
    }
    EXPECT_TRUE(std::is_sorted(Keywords.begin(), Keywords.end()));
    EXPECT_EQ(std::adjacent_find(Keywords.begin(), Keywords.end()), Keywords.end());
}

TEST(KeywordTest, MatchesExactlyIgnoringCase) {
    for (std::string_view keyword : Keywords) {
        std::string lower(keyword);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return static_cast<char>(c - 'A' + 'a'); });
        std::string mixed = lower;
        mixed[0] = keyword[0];
        EXPECT_TRUE(TPascalParser::IsKeyword(keyword)) << keyword;
        EXPECT_TRUE(TPascalParser::IsKeyword(lower)) << lower;
        EXPECT_TRUE(TPascalParser::IsKeyword(mixed)) << mixed;
        EXPECT_FALSE(TPascalParser::IsKeyword(lower + "1")) << lower;
        EXPECT_FALSE(TPascalParser::IsKeyword("_" + lower)) << lower;
        for (const std::string& shorter : {lower.substr(1), lower.substr(0, lower.size() - 1)}) {
            EXPECT_EQ(TPascalParser::IsKeyword(shorter), ReferenceIsKeyword(shorter)) << shorter;
        }
    }
    for (std::string_view word : {"OR", "in", "To", "", "A", "Begins", "end1", "ENDX", "asm_"}) {
        EXPECT_FALSE(TPascalParser::IsKeyword(word)) << word;
    }
}

TEST(KeywordTest, NonLettersNeverMatchALetter) {
    // Bytes that differ from a keyword's letter only in bit 5 (or the top bit)
    // must not be taken for that letter.
    for (std::string_view keyword : Keywords) {
        for (std::size_t i = 0; i < keyword.size(); ++i) {
            for (char flip : {'\x20', '\x80', '\xA0', '\x40'}) {
                std::string word(keyword);
                word[i] = static_cast<char>(word[i] ^ flip);
                EXPECT_EQ(TPascalParser::IsKeyword(word), ReferenceIsKeyword(word)) << word;
            }
        }
    }
}

TEST(KeywordTest, AgreesWithBisectionOnRandomWords) {
    std::mt19937 random(7);
    const std::string_view alphabet = "AaBbCcDdEeFfIiLlNnOoRrSsTtUu_#0";
    for (int n = 0; n < 100000; ++n) {
        std::string word(1 + random() % 9, ' ');
        for (char& c : word) {
            c = alphabet[random() % alphabet.size()];
        }
        ASSERT_EQ(TPascalParser::IsKeyword(word), ReferenceIsKeyword(word)) << word;
    }
}

} // namespace
