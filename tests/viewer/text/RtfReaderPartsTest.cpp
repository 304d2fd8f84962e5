// The parts of other writers' documents beyond plain formatted text: shapes
// and text boxes, footnotes, font code pages and symbol fonts, fields without
// a result, and list numbers. Each rule has a small document of its own in
// documents/, read here and by LibreOffice in the test that compares the two.

#include "tests/viewer/text/RtfTestSupport.h"
#include "viewer/text/RtfLists.h"
#include "viewer/text/RtfReader.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

std::string DocumentFile(const std::string& name) {
    std::ifstream in(std::filesystem::path(LUMIVANE_RTF_DOCUMENTS) / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_FALSE(bytes.str().empty()) << name;
    return bytes.str();
}

std::u16string TextOf(const std::string& rtf) {
    return ReadRtf(rtf).Text.ToU16String();
}

std::string Doc(const std::string& body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}"
           "{\\f2\\fcharset128 MS Mincho;}}" +
           body + "}";
}

// --- Shapes and text boxes ---------------------------------------------------

TEST(RtfReaderShapes, TextOfEveryKindOfShapeIsAParagraphWhereItIsAnchored) {
    EXPECT_EQ(TextOf(DocumentFile("shapes.rtf")),
              u"Before the boxes.\nAnchor \nText in a box.\nhere.\nGrouped box.\n"
              u"Unstarred box.\nOld drawing box.\nAfter the boxes.");
}

TEST(RtfReaderShapes, PropertiesPicturesAndHiddenShapesShowNothing) {
    // Property values are no text; the result of a shape with text is its copy.
    EXPECT_EQ(TextOf(Doc("a{\\shp{\\*\\shpinst{\\sp{\\sn wzName}{\\sv Box 1}}{\\shptxt b}}"
                         "{\\shprslt{\\*\\do\\dptxbx{\\dptxbxtext b}}}}c")),
              u"a\nb\nc");
    // A shape without text of its own shows its result, as the view did before.
    EXPECT_EQ(TextOf(Doc("{\\shp{\\*\\shpinst{\\sp{\\sn x}{\\sv 1}}}{\\shprslt text box}}")),
              u"text box");
    EXPECT_EQ(TextOf(Doc("a{\\v{\\shp{\\*\\shpinst{\\shptxt hidden}}}}b")), u"ab");
    // Shape text at the very start, and one ending in its own paragraph mark.
    EXPECT_EQ(TextOf(Doc("{\\shp{\\*\\shpinst{\\shptxt x\\par}}}y")), u"x\ny");
}

// --- Footnotes -----------------------------------------------------------------

TEST(RtfReaderFootnotes, MarksAreSuperscriptNumbersAndTheNotesFollowTheBody) {
    const TRtfDocument doc = ReadRtf(DocumentFile("footnotes.rtf"));
    EXPECT_EQ(doc.Text, u"aaa1bbb2 ccc.\n__________\n1 First note.\n2 Second note.");
    EXPECT_EQ(FormatAt(doc, 2).Vertical, 0);
    EXPECT_EQ(FormatAt(doc, 3).Vertical, 1); // the first mark
    EXPECT_EQ(FormatAt(doc, 7).Vertical, 1); // the second
    EXPECT_EQ(FormatAt(doc, 8).Vertical, 0);
    EXPECT_EQ(FormatAt(doc, 25).Vertical, 1); // the first note's own number
}

TEST(RtfReaderFootnotes, MarksWithoutSuperscriptBecomeSuperscriptAndCountOnPastTen) {
    std::string body;
    std::u16string text, notes;
    for (int i = 1; i <= 11; ++i) {
        body += "x\\chftn{\\footnote{\\chftn} n}";
        const std::u16string number =
            i < 10 ? std::u16string(1, char16_t(u'0' + i)) : (i == 10 ? u"10" : u"11");
        text += u"x" + number;
        notes += u"\n" + number + u" n";
    }
    const TRtfDocument doc = ReadRtf(Doc(body));
    EXPECT_EQ(doc.Text, text + u"\n__________" + notes);
    EXPECT_EQ(FormatAt(doc, 1).Vertical, 1);
}

TEST(RtfReaderFootnotes, NotesWithTheirOwnMarkOrHiddenOrNone) {
    // A footnote with a mark of its own ("*") takes no number.
    EXPECT_EQ(TextOf(Doc("a*{\\footnote * star}b\\chftn{\\footnote{\\chftn} one}")),
              u"a*b1\n__________\n* star\n1 one");
    EXPECT_EQ(TextOf(Doc("a{\\v\\chftn{\\footnote\\chftn hidden}}b")), u"ab");
    EXPECT_EQ(TextOf(Doc("no notes")), u"no notes");
}

// --- Code pages and symbol fonts -------------------------------------------------

TEST(RtfReaderFontCodePages, CpgCharsetTrailBytesAndSymbolFonts) {
    EXPECT_EQ(TextOf(DocumentFile("codepages.rtf")),
              u"Cyrillic by cpg: \u0418\u043c\u044f.\nCyrillic raw: \u0418\u043c\u044f.\n"
              u"Symbol: \u03b1\u03b2\u03b3 \u2022 \u221e \u2260.\nJapanese: \u8868\u30bd.\n"
              u"Wingdings: \u263a\u25aa.");
}

TEST(RtfReaderFontCodePages, CpgOutranksTheCharsetInEitherOrder) {
    const std::string table = "{\\rtf1\\ansi{\\fonttbl{\\f0\\cpg1251\\fcharset0 A;}"
                              "{\\f1\\fcharset238\\cpg1251 B;}{\\f2\\fcharset204 C;}}";
    // 0xC8 is Cyrillic I in 1251 and C with caron in 1250.
    EXPECT_EQ(TextOf(table + "{\\f0\\'c8}{\\f1\\'c8}{\\f2\\'c8}\\'c8}"),
              u"\u0418\u0418\u0418\u00c8");
}

TEST(RtfReaderFontCodePages, RawBracesAndBackslashesAfterARawLeadByteAreTrailBytes) {
    // 0x81 0x7B and 0x81 0x7D in Shift-JIS: a full-width plus and a plus-minus sign.
    EXPECT_EQ(TextOf(Doc("{\\f2 \x81{\x81}\x95\\}x")), u"\uff0b\u00b1\u8868x");
    // An escaped lead byte keeps braces and backslashes as syntax.
    EXPECT_EQ(TextOf(Doc("{\\f2 \\'95\\'5c{\\b a}\\'95}b")), u"\u8868ab");
    // A lead byte before a control word, or at the end of the data, is dropped.
    EXPECT_EQ(TextOf(Doc("{\\f2 \\'95\\par b}")), u"\nb");
    EXPECT_EQ(TextOf("{\\rtf1{\\fonttbl{\\f2\\fcharset128 M;}}\\f2 a\x95"), u"a");
}

TEST(RtfReaderFontCodePages, SymbolFontsByByteAndByPrivateUseCharacter) {
    // \u61623 is U+F0B7: the Symbol font's bullet written as Unicode.
    EXPECT_EQ(TextOf(Doc("{\\f1 \\u61623?\\u-3913?p}")), u"\u2022\u2022\u03c0");
    // A byte the font has no character for stays the code page's; other fonts keep letters.
    EXPECT_EQ(TextOf(Doc("{\\f1 \\'f0}{\\f0 p}")), u"\u00f0p");
    // \plain returns to the default font, which is no symbol font here.
    EXPECT_EQ(TextOf(Doc("{\\f1 a\\plain a}")), u"\u03b1a");
}

// --- Fields ------------------------------------------------------------------------

TEST(RtfReaderFields, SymbolFieldsShowTheirCharacterAndPageFieldsNothing) {
    EXPECT_EQ(TextOf(DocumentFile("fields.rtf")),
              u"Symbol \u2022 and \u00a9 end.\nPage  of .\nDate 8 December 2026.");
}

TEST(RtfReaderFields, SymbolFieldForms) {
    EXPECT_EQ(TextOf(Doc("{\\field{\\*\\fldinst symbol 0x41 \\\\f Symbol}}")), u"\u0391");
    EXPECT_EQ(TextOf(Doc("{\\field{\\*\\fldinst SYMBOL 8364 \\\\u}}")), u"\u20ac");
    // Without a font: the text's own font, here Symbol.
    EXPECT_EQ(TextOf(Doc("{\\f1{\\field{\\*\\fldinst SYMBOL 97}}}")), u"\u03b1");
    // A stored result wins; codes that are no character show nothing.
    EXPECT_EQ(TextOf(Doc("{\\field{\\*\\fldinst SYMBOL 97}{\\fldrslt x}}")), u"x");
    EXPECT_EQ(TextOf(Doc("[{\\field{\\*\\fldinst SYMBOL 0}}{\\field{\\*\\fldinst SYMBOL 70000}}"
                         "{\\field{\\*\\fldinst SYMBOL abc}}{\\field{\\*\\fldinst SYMBOL}}]")),
              u"[]");
}

TEST(RtfReaderFields, NestedFieldsInInstructionsAndHiddenFieldsShowNothingOfThemselves) {
    EXPECT_EQ(TextOf(Doc("{\\field{\\*\\fldinst IF {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} = 1 "
                         "\"one\"}{\\fldrslt one}}")),
              u"one");
    EXPECT_EQ(TextOf(Doc("a{\\v{\\field{\\*\\fldinst SYMBOL 65}}}b")), u"ab");
    // A second \field in the same group is the same field.
    EXPECT_EQ(
        TextOf(Doc("{\\field\\field{\\*\\fldinst SYMBOL 66}}{\\field{\\*\\fldinst SYMBOL 67}}")),
        u"BC");
}

// --- Lists ---------------------------------------------------------------------------

TEST(RtfReaderLists, NumbersFromTheListTableAndListTextWhereGiven) {
    EXPECT_EQ(TextOf(DocumentFile("lists.rtf")),
              u"1.\tFirst\na) Sub\nb) Sub\n1.b.i\tDeep\n2.\tSecond\n3.\tThird\n"
              u"IV.\tRoman\n\u2022\tBullet\nC.\tLetter\nPlain");
}

TEST(RtfReaderLists, UnknownListsAndDamagedLevelsShowNoNumber) {
    const std::string table = "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext"
                              "\\'09\\'00;}{\\levelnumbers\\'01\\'07;}}\\listid5}}"
                              "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}";
    // \ls2 names no override; a level text longer than it is stops at its end.
    EXPECT_EQ(TextOf(Doc(table + "\\pard\\ls2 a\\par\\pard\\ls1\\ilvl7 b")), u"a\n1\tb");
}

TEST(RtfReaderLists, StartsAtZeroOrAtTheLargestCountAndLongTextsAreCut) {
    const auto list = [](const std::string& start, const std::string& text) {
        return "{\\*\\listtable{\\list{\\listlevel\\levelfollow2\\levelstartat" + start +
               "{\\leveltext" + text +
               ";}{\\levelnumbers\\'01;}}\\listid1}}"
               "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
               "\\pard\\ls1 a\\par b";
    };
    EXPECT_EQ(TextOf(Doc(list("0", "\\'02\\'00."))), u"0.a\n1.b");
    EXPECT_EQ(TextOf(Doc(list("2147483647", "\\'01\\'00"))), u"1000000a\n1000000b");
    // Thirty literal characters: the number keeps twenty-four of them.
    EXPECT_EQ(TextOf(Doc(list("1", "\\'1e" + std::string(30, 'x')))),
              std::u16string(24, u'x') + u"a\n" + std::u16string(24, u'x') + u"b");
}

TEST(ListNumberFormat, EveryStyleAtItsBoundaries) {
    using text::FormatListNumber;
    EXPECT_EQ(FormatListNumber(1994, 1), u"MCMXCIV");
    EXPECT_EQ(FormatListNumber(4, 2), u"iv");
    EXPECT_EQ(FormatListNumber(4999, 1), u"MMMMCMXCIX");
    EXPECT_EQ(FormatListNumber(5000, 1), u"5000");
    EXPECT_EQ(FormatListNumber(26, 3), u"Z");
    EXPECT_EQ(FormatListNumber(27, 4), u"aa");
    EXPECT_EQ(FormatListNumber(53, 4), u"aaa");
    EXPECT_EQ(FormatListNumber(0, 4), u"0");
    EXPECT_EQ(FormatListNumber(7, 22), u"07");
    EXPECT_EQ(FormatListNumber(12, 22), u"12");
    EXPECT_EQ(FormatListNumber(3, 23), u"");
    EXPECT_EQ(FormatListNumber(3, 255), u"");
    EXPECT_EQ(FormatListNumber(-2, 0), u"-2");
    EXPECT_EQ(FormatListNumber(3, 57), u"3"); // styles without a rule here: decimal
}

} // namespace
