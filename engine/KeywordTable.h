#pragma once
// The keyword table and its lookup: a word is compared with at most three
// keywords, found by length and first letter.

#include <array>
#include <cstddef>
#include <string_view>

namespace engine {

// clang-format off
// Upper case, in ascending byte order.
inline constexpr std::array<std::string_view, 68> kKeywordTable = {
    "ABSTRACT", "AND", "ARRAY", "AS", "ASM", "ASSEMBLER", "BEGIN", "CASE", "CLASS", "CONST",
    "CONSTRUCTOR", "DESTRUCTOR", "DIV", "DO", "DOWNTO", "ELSE", "END", "EXCEPT", "EXPORTS", "FILE",
    "FINALIZATION", "FINALLY", "FOR", "FUNCTION", "GOTO", "IF", "IMPLEMENTATION", "INHERITED",
        "INITIALIZATION", "INLINE",
    "INTERFACE", "IS", "LABEL", "LIBRARY", "MOD", "NIL", "NOT", "OBJECT", "OF", "OVERRIDE",
    "PACKED", "PASCAL", "PRIVATE", "PROCEDURE", "PROGRAM", "PROPERTY", "PROTECTED", "PUBLIC",
        "PUBLISHED", "RAISE",
    "RECORD", "REPEAT", "SET", "SHL", "SHR", "STRING", "THEN", "THREADVAR", "TRY", "TYPE",
    "UNIT", "UNTIL", "USES", "VAR", "VIRTUAL", "WHILE", "WITH", "XOR",
};
// clang-format on

// Position of WORD (upper case) in the table, or -1; for compile-time lookups.
constexpr int KeywordIndexOf(std::string_view word) {
    for (std::size_t i = 0; i < kKeywordTable.size(); ++i) {
        if (kKeywordTable[i] == word) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The word that opens an assembler block.
inline constexpr int kAsmKeyword = KeywordIndexOf("ASM");
static_assert(kAsmKeyword >= 0, "ASM must stay a keyword");

constexpr bool IsSortedKeywordTable() {
    for (std::size_t i = 1; i < kKeywordTable.size(); ++i) {
        if (!(kKeywordTable[i - 1] < kKeywordTable[i])) {
            return false;
        }
    }
    return true;
}
static_assert(IsSortedKeywordTable(), "the keywords stay in ascending byte order");

// The keywords grouped by length and first letter. Same answers as a bisection
// of the table.
inline constexpr std::size_t kMaxKeywordLength = 14;
inline constexpr std::size_t kCandidatesPerBucket = 4;
using TKeywordBuckets =
    std::array<std::array<unsigned char, kCandidatesPerBucket>, (kMaxKeywordLength + 1) * 26>;

constexpr std::size_t BucketOf(std::size_t length, char upperFirst) {
    return length * 26 + static_cast<std::size_t>(upperFirst - 'A');
}

constexpr TKeywordBuckets MakeKeywordBuckets() {
    TKeywordBuckets buckets{};
    for (std::size_t i = 0; i < kKeywordTable.size(); ++i) {
        auto& bucket = buckets[BucketOf(kKeywordTable[i].size(), kKeywordTable[i][0])];
        std::size_t slot = 0;
        while (bucket[slot] != 0) {
            ++slot; // a fifth keyword of one length and letter fails to compile here
        }
        bucket[slot] = static_cast<unsigned char>(i + 1); // 0 marks an empty slot
    }
    return buckets;
}

inline constexpr TKeywordBuckets kKeywordBuckets = MakeKeywordBuckets();

// Index in the table, or -1. Clearing bit 5 upper-cases an ASCII letter and
// turns no other byte into one, so it compares exactly, ignoring case.
inline int FindKeyword(std::string_view word) {
    if (word.size() < 2 || word.size() > kMaxKeywordLength) {
        return -1;
    }
    const char first = static_cast<char>(word[0] & ~0x20);
    if (first < 'A' || first > 'Z') {
        return -1;
    }
    for (unsigned char candidate : kKeywordBuckets[BucketOf(word.size(), first)]) {
        if (candidate == 0) {
            return -1;
        }
        const std::string_view keyword = kKeywordTable[candidate - 1];
        bool equal = true;
        for (std::size_t i = 1; i < word.size() && equal; ++i) {
            equal = static_cast<char>(word[i] & ~0x20) == keyword[i];
        }
        if (equal) {
            return candidate - 1;
        }
    }
    return -1;
}

} // namespace engine
