#pragma once
// The control words the RTF reader knows, as data: what each one does and with
// which value. Words that need more than a table entry can say are kLogic
// entries, handled by name in the reader; words not listed are ignored.

#include "viewer/text/RtfDocument.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace text {

// Where the text of a group goes.
enum class TDest : unsigned char {
    kText,         // shown
    kSkip,         // not shown, nested groups neither (read only for their braces)
    kDrop,         // not shown, but a nested result group may be
    kFontTable,    // font entries
    kColorTable,   // colour entries
    kFieldInst,    // a field's instruction: read, not shown
    kListTable,    // list definitions and their overrides
    kLevelText,    // a list level's number text
    kLevelNumbers, // where a list level's number text holds numbers
};

// Character properties a word switches on or off.
enum class TFlag : unsigned char { kBold, kItalic, kUnderline, kStrike, kHidden };

// Words with logic of their own in the reader.
enum class TWord : unsigned char {
    kDefaultFont,
    kDefaultTab,
    kFont,
    kFontModern,
    kFontPitch,
    kFontCharset,
    kPlain,
    kFontSize,
    kUnicode,
    kUnicodeSkip,
    kFontCodePage,    // \cpg
    kParagraphReset,  // \pard
    kShape,           // \shp, \shpgrp: a shape, not shown but for its text
    kShapeText,       // \shptxt, \dptxbxtext
    kShapeResult,     // \shprslt: what readers without shapes show instead
    kFootnote,        // \footnote
    kFootnoteMark,    // \chftn
    kField,           // \field
    kList,            // \list in the list table
    kListLevel,       // \listlevel
    kLevelStyle,      // \levelnfc, \levelnfcn
    kLevelStart,      // \levelstartat
    kLevelFollow,     // \levelfollow
    kListId,          // \listid
    kListOverride,    // \listoverride
    kListNumber,      // \ls
    kListLevelNumber, // \ilvl
    kListText,        // \listtext
};

enum class TWordAction : unsigned char {
    kIgnore,       // known, means nothing here
    kBinary,       // the parameter counts raw bytes that follow
    kDestination,  // Value: the TDest the group becomes
    kCharacter,    // Value: the UTF-16 character shown
    kCodePage,     // Value: the document's code page; 0: the parameter names it
    kFlag,         // Value: the TFlag, on unless the parameter is 0
    kFlagOff,      // Value: the TFlag, off
    kVertical,     // Value: 1 superscript, -1 subscript, 0 neither
    kColorChannel, // Value: 0 red, 1 green, 2 blue of the colour-table entry
    kForeground,   // the parameter numbers a colour-table entry
    kBackground,   // the parameter numbers a colour-table entry
    kLogic,        // Value: the TWord
};

struct TControlWord {
    std::string_view Name;
    TWordAction Action;
    int Value = 0;
    // Read also after \*, which otherwise skips a group this reader does not know.
    bool Starred = false;
};

namespace words {

constexpr TControlWord Ignore(std::string_view name) {
    return {name, TWordAction::kIgnore};
}
constexpr TControlWord Binary(std::string_view name) {
    return {name, TWordAction::kBinary};
}
constexpr TControlWord Dest(std::string_view name, TDest dest) {
    return {name, TWordAction::kDestination, static_cast<int>(dest)};
}
constexpr TControlWord Skip(std::string_view name) {
    return Dest(name, TDest::kSkip);
}
constexpr TControlWord Char(std::string_view name, char16_t ch) {
    return {name, TWordAction::kCharacter, ch};
}
constexpr TControlWord CodePage(std::string_view name, int number) {
    return {name, TWordAction::kCodePage, number};
}
constexpr TControlWord Flag(std::string_view name, TFlag flag) {
    return {name, TWordAction::kFlag, static_cast<int>(flag)};
}
constexpr TControlWord FlagOff(std::string_view name, TFlag flag) {
    return {name, TWordAction::kFlagOff, static_cast<int>(flag)};
}
constexpr TControlWord Vertical(std::string_view name, int vertical) {
    return {name, TWordAction::kVertical, vertical};
}
constexpr TControlWord Channel(std::string_view name, int channel) {
    return {name, TWordAction::kColorChannel, channel};
}
constexpr TControlWord Color(std::string_view name, TWordAction action) {
    return {name, action};
}
constexpr TControlWord Logic(std::string_view name, TWord word) {
    return {name, TWordAction::kLogic, static_cast<int>(word)};
}
constexpr TControlWord Starred(TControlWord word) {
    word.Starred = true;
    return word;
}

} // namespace words

// Sorted by name (byte order) for the binary search in FindControlWord.
inline constexpr auto kControlWords = [] {
    using namespace words;
    return std::to_array<TControlWord>({
        Skip("aftncn"),
        Skip("aftnsep"),
        Skip("aftnsepc"),
        Skip("annotation"),
        Ignore("ansi"),
        CodePage("ansicpg", 0),
        Skip("atnauthor"),
        Skip("atnid"),
        Skip("author"),
        Flag("b", TFlag::kBold),
        Binary("bin"),
        Skip("bkmkend"),
        Skip("bkmkstart"),
        Channel("blue", 2),
        Char("bullet", 0x2022),
        Skip("buptim"),
        Color("cb", TWordAction::kBackground),
        Char("cell", u'\t'),
        Color("cf", TWordAction::kForeground),
        Color("chcbpat", TWordAction::kBackground),
        Logic("chftn", TWord::kFootnoteMark),
        Skip("colorschememapping"),
        Dest("colortbl", TDest::kColorTable),
        Skip("comment"),
        Logic("cpg", TWord::kFontCodePage),
        Skip("creatim"),
        Skip("datastore"),
        Logic("deff", TWord::kDefaultFont),
        Logic("deftab", TWord::kDefaultTab),
        Starred(Dest("do", TDest::kDrop)),
        Skip("doccomm"),
        Skip("docvar"),
        Starred(Logic("dptxbxtext", TWord::kShapeText)),
        Char("emdash", 0x2014),
        Char("emspace", 0x2003),
        Char("endash", 0x2013),
        Char("enspace", 0x2002),
        Logic("f", TWord::kFont),
        Skip("falt"),
        Logic("fcharset", TWord::kFontCharset),
        Logic("field", TWord::kField),
        Skip("filetbl"),
        Starred(Dest("fldinst", TDest::kFieldInst)),
        Dest("fldrslt", TDest::kText),
        Logic("fmodern", TWord::kFontModern),
        Dest("fonttbl", TDest::kFontTable),
        Skip("footer"),
        Skip("footerf"),
        Skip("footerl"),
        Skip("footerr"),
        Starred(Logic("footnote", TWord::kFootnote)),
        Logic("fprq", TWord::kFontPitch),
        Logic("fs", TWord::kFontSize),
        Skip("ftncn"),
        Skip("ftnsep"),
        Skip("ftnsepc"),
        Skip("generator"),
        Channel("green", 1),
        Skip("header"),
        Skip("headerf"),
        Skip("headerl"),
        Skip("headerr"),
        Color("highlight", TWordAction::kBackground),
        Flag("i", TFlag::kItalic),
        Logic("ilvl", TWord::kListLevelNumber),
        Skip("info"),
        Skip("keywords"),
        Skip("latentstyles"),
        Char("ldblquote", 0x201C),
        Logic("levelfollow", TWord::kLevelFollow),
        Logic("levelnfc", TWord::kLevelStyle),
        Logic("levelnfcn", TWord::kLevelStyle),
        Dest("levelnumbers", TDest::kLevelNumbers),
        Logic("levelstartat", TWord::kLevelStart),
        Dest("leveltext", TDest::kLevelText),
        Char("line", kLineBreak),
        Logic("list", TWord::kList),
        Logic("listid", TWord::kListId),
        Logic("listlevel", TWord::kListLevel),
        Skip("listname"),
        Logic("listoverride", TWord::kListOverride),
        Starred(Dest("listoverridetable", TDest::kListTable)),
        Skip("listpicture"),
        Starred(Dest("listtable", TDest::kListTable)),
        Logic("listtext", TWord::kListText),
        Char("lquote", 0x2018),
        Logic("ls", TWord::kListNumber),
        Char("ltrmark", 0x200E),
        CodePage("mac", 10000),
        Skip("mmathPr"),
        Char("nestcell", u'\t'),
        Char("nestrow", kParagraphEnd),
        Skip("nonshppict"),
        Vertical("nosupersub", 0),
        Skip("objclass"),
        Skip("objdata"),
        Dest("object", TDest::kDrop),
        Skip("objname"),
        Skip("operator"),
        Char("page", kParagraphEnd),
        Skip("panose"),
        Char("par", kParagraphEnd),
        Logic("pard", TWord::kParagraphReset),
        CodePage("pc", 437),
        CodePage("pca", 850),
        Skip("pgdsctbl"),
        Skip("pict"),
        Logic("plain", TWord::kPlain),
        Skip("pn"),
        Skip("printim"),
        Skip("private"),
        Char("qmspace", 0x2005),
        Char("rdblquote", 0x201D),
        Channel("red", 0),
        Dest("result", TDest::kText),
        Skip("revtbl"),
        Skip("revtim"),
        Char("row", kParagraphEnd),
        Char("rquote", 0x2019),
        Skip("rsidtbl"),
        Char("rtlmark", 0x200F),
        Char("sect", kParagraphEnd),
        Logic("shp", TWord::kShape),
        Starred(Logic("shpgrp", TWord::kShape)),
        Starred(Dest("shpinst", TDest::kDrop)),
        Logic("shprslt", TWord::kShapeResult),
        Starred(Logic("shptxt", TWord::kShapeText)),
        Flag("strike", TFlag::kStrike),
        Flag("striked", TFlag::kStrike),
        Skip("stylesheet"),
        Vertical("sub", -1),
        Skip("subject"),
        Vertical("super", 1),
        Char("tab", u'\t'),
        Skip("tc"),
        Skip("template"),
        Skip("themedata"),
        Skip("title"),
        Skip("txe"),
        Logic("u", TWord::kUnicode),
        Logic("uc", TWord::kUnicodeSkip),
        Flag("ul", TFlag::kUnderline),
        Flag("uld", TFlag::kUnderline),
        Flag("uldash", TFlag::kUnderline),
        Flag("uldashd", TFlag::kUnderline),
        Flag("uldashdd", TFlag::kUnderline),
        Flag("uldb", TFlag::kUnderline),
        Flag("ulhair", TFlag::kUnderline),
        Flag("ulhwave", TFlag::kUnderline),
        Flag("ulldash", TFlag::kUnderline),
        FlagOff("ulnone", TFlag::kUnderline),
        Flag("ulth", TFlag::kUnderline),
        Flag("ulthd", TFlag::kUnderline),
        Flag("ulthdash", TFlag::kUnderline),
        Flag("ulthdashd", TFlag::kUnderline),
        Flag("ulthdashdd", TFlag::kUnderline),
        Flag("ulthldash", TFlag::kUnderline),
        Flag("ululdbwave", TFlag::kUnderline),
        Flag("ulw", TFlag::kUnderline),
        Flag("ulwave", TFlag::kUnderline),
        Skip("userprops"),
        Flag("v", TFlag::kHidden),
        Skip("xe"),
        Skip("xmlnstbl"),
        Char("zwj", 0x200D),
        Char("zwnj", 0x200C),
    });
}();

static_assert(std::all_of(kControlWords.begin(), kControlWords.end(), [](const TControlWord& word) {
    return !word.Name.empty() && word.Name[0] >= 'a' && word.Name[0] <= 'z';
}));
static_assert(std::is_sorted(kControlWords.begin(), kControlWords.end(),
                             [](const TControlWord& a, const TControlWord& b) {
                                 return a.Name < b.Name;
                             }));

// Where the words of each first letter start in kControlWords (a to z, and
// the end): a lookup searches only the words of its letter.
inline constexpr auto kControlWordLetters = [] {
    std::array<std::size_t, 27> starts{};
    std::size_t at = 0;
    for (std::size_t letter = 0; letter < 26; ++letter) {
        while (at < kControlWords.size() &&
               static_cast<std::size_t>(kControlWords[at].Name[0] - 'a') < letter) {
            ++at;
        }
        starts[letter] = at;
    }
    starts[26] = kControlWords.size();
    return starts;
}();

// The entry of a control word, null for a word the reader does not know.
inline const TControlWord* FindControlWord(std::string_view name) {
    if (name.empty() || name[0] < 'a' || name[0] > 'z') {
        return nullptr; // every word the reader knows is lower case
    }
    const auto letter = static_cast<std::size_t>(name[0] - 'a');
    const auto first =
        kControlWords.begin() + static_cast<std::ptrdiff_t>(kControlWordLetters[letter]);
    const auto last =
        kControlWords.begin() + static_cast<std::ptrdiff_t>(kControlWordLetters[letter + 1]);
    const auto it =
        std::lower_bound(first, last, name, [](const TControlWord& entry, std::string_view n) {
            return entry.Name < n;
        });
    return (it != last && it->Name == name) ? &*it : nullptr;
}

} // namespace text
