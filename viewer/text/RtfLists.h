#pragma once
// Paragraph numbers of RTF lists: the levels of \listtable, the \ls numbers
// of \listoverridetable, and the running count of each list, so that a
// paragraph without its own \listtext gets the number its list would show.

#include "viewer/text/SymbolFonts.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace text {

// What a level's number looks like (\levelnfc).
enum class TNumberStyle {
    kDecimal = 0,
    kUpperRoman = 1,
    kLowerRoman = 2,
    kUpperLetter = 3,
    kLowerLetter = 4,
    kLeadingZero = 22,
    kBullet = 23,
    kNone = 255,
};

// NUMBER (1 or more) in STYLE: "iv", "D", "aa"; empty for a bullet or none.
std::u16string FormatListNumber(int number, int style);

class TRtfListTable {
public:
    // Reading \listtable: a \list starts, a \listlevel in it, their properties.
    void BeginList();
    void BeginLevel();
    void SetLevelStyle(int style) {
        Set([&](TLevel& l) { l.Style = style; });
    }
    void SetLevelStart(int start) {
        Set([&](TLevel& l) { l.Start = start; });
    }
    // \levelfollow: 0 a tab after the number, 1 a space, 2 nothing.
    void SetLevelFollow(int follow) {
        Set([&](TLevel& l) { l.Follow = follow; });
    }
    void SetLevelSymbols(const TSymbolTable* symbols) {
        Set([&](TLevel& l) { l.Symbols = symbols; });
    }
    // \leveltext: its length first, then literal characters and level places.
    void AppendLevelText(char16_t ch);
    // \levelnumbers: the 1-based places in \leveltext that stand for a number.
    void AppendLevelNumber(unsigned char place);
    // \listid: of the \list being read, or the list a \listoverride refers to.
    void SetListId(int id);

    // Reading \listoverridetable.
    void BeginOverride();
    void SetOverrideNumber(int ls);

    // The number text of the next paragraph of list LS at level LEVEL, with
    // what follows it (tab or space), counting that paragraph; empty when LS
    // names no list.
    std::u16string NextNumber(int ls, int level);

private:
    struct TLevel {
        int Style = 0;
        int Start = 1;
        int Follow = 0;
        const TSymbolTable* Symbols = nullptr;
        std::u16string Text;
        std::vector<unsigned char> Places;
    };
    struct TList {
        std::vector<TLevel> Levels;
        std::vector<int> Counts; // per level, -1: not counted since a higher level
    };
    enum class TReading { kNothing, kList, kOverride };

    template <typename Change> void Set(const Change& change) {
        if (reading_ == TReading::kList && !lists_.empty() && !lists_.back().Levels.empty()) {
            change(lists_.back().Levels.back());
        }
    }
    TList* ListOfOverride(int ls);

    std::vector<TList> lists_;                 // in the order read
    std::unordered_map<int, std::size_t> ids_; // \listid to its list
    std::unordered_map<int, int> overrides_;   // \ls to \listid
    TReading reading_ = TReading::kNothing;
    int overrideList_ = 0;
};

} // namespace text
