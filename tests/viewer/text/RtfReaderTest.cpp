// The reader on the engine's documents, on other writers' RTF, and on damaged input.

#include "viewer/text/RtfReader.h"

#include "tests/viewer/text/RtfTestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::u16string TextOf(const std::string& rtf) {
    return ReadRtf(rtf).Text.ToU16String();
}

// --- What the engine writes -------------------------------------------------

TEST(RtfReaderEngine, WorkedLineGivesTextColoursAndStyles) {
    const TRtfDocument doc = ReadRtf(EngineDocument(
        "{\\cf6\\b begin} s := {\\cf2 'it'}{\\cf2 's'}; {\\cf3\\i \\{ note \\}} {\\cf6\\b "
        "end};\r\\par "));
    EXPECT_EQ(doc.Text, u"begin s := 'it''s'; { note } end;\n");
    const TRtfCharFormat& keyword = FormatAt(doc, 0);
    EXPECT_TRUE(keyword.Bold);
    EXPECT_FALSE(keyword.Italic);
    EXPECT_EQ(keyword.Color, kBlack);
    EXPECT_EQ(keyword.SizeHalfPoints, 18);
    ASSERT_GE(keyword.Font, 0);
    EXPECT_EQ(doc.Fonts[keyword.Font].Name, "Courier New");
    EXPECT_TRUE(doc.Fonts[keyword.Font].FixedPitch);

    const TRtfCharFormat& string = FormatAt(doc, 11);
    EXPECT_EQ(string.Color, kRed);
    EXPECT_FALSE(string.Bold);
    const TRtfCharFormat& comment = FormatAt(doc, 21);
    EXPECT_EQ(comment.Color, kNavy);
    EXPECT_TRUE(comment.Italic);
    const TRtfCharFormat& plain = FormatAt(doc, 6);
    EXPECT_EQ(plain.Color, kBlack);
    EXPECT_FALSE(plain.Bold || plain.Italic);
    EXPECT_EQ(plain.Font, keyword.Font);
}

TEST(RtfReaderEngine, EveryColourNumberOfTheTableWithoutAutomaticEntry) {
    const TRtfDocument doc = ReadRtf(
        EngineDocument("a{\\cf1 b}{\\cf2 c}{\\cf3\\i d}{\\cf4 e}{\\cf5 f}{\\cf6\\b g}{\\b h}"));
    EXPECT_EQ(doc.Text, u"abcdefgh");
    const TColor expected[] = {kBlack, 0xFFFFFF, kRed, kNavy, kFuchsia, kGreen, kBlack, kBlack};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(FormatAt(doc, i).Color, expected[i]) << "character " << i;
    }
    EXPECT_TRUE(FormatAt(doc, 7).Bold); // the END after an assembler block
    EXPECT_FALSE(FormatAt(doc, 8 - 1).Italic);
}

TEST(RtfReaderEngine, GroupsRestoreTheFormatOfTheirParent) {
    const TRtfDocument doc = ReadRtf(EngineDocument("{\\cf5 mov {\\cf3\\i \\{x\\}} ax}z"));
    EXPECT_EQ(doc.Text, u"mov {x} axz");
    EXPECT_EQ(FormatAt(doc, 0).Color, kGreen);
    EXPECT_EQ(FormatAt(doc, 5).Color, kNavy);
    EXPECT_TRUE(FormatAt(doc, 5).Italic);
    EXPECT_EQ(FormatAt(doc, 8).Color, kGreen);
    EXPECT_FALSE(FormatAt(doc, 8).Italic);
    EXPECT_EQ(FormatAt(doc, 10).Color, kBlack);
}

TEST(RtfReaderEngine, ParagraphsEscapesAndLineEnds) {
    // "\par " with its blank, "\par" without one before a group's close, CR bytes ignored.
    EXPECT_EQ(TextOf(EngineDocument("a\r\\par  b{\\cf2 'x\\par}\\\\\\}")), u"a\n b'x\n\\}");
    // The trailer's paragraph mark ends the document: a final LF gives one empty line.
    EXPECT_EQ(TextOf(EngineDocument("a\\par ")), u"a\n");
    EXPECT_EQ(TextOf(EngineDocument("a")), u"a");
    EXPECT_EQ(TextOf(EngineDocument("")), u"");
    EXPECT_EQ(TextOf(EngineDocument("\\par \\par ")), u"\n\n");
}

TEST(RtfReaderEngine, BytesAboveAsciiAreWindows1252) {
    EXPECT_EQ(TextOf(EngineDocument("\x80\xe9\xfc\x81\x9f\xa0\xff")),
              u"\u20ac\u00e9\u00fc\u0081\u0178\u00a0\u00ff");
    EXPECT_EQ(TextOf(EngineDocument("\\'80\\'E9")), u"\u20ac\u00e9");
    EXPECT_EQ(TextOf(EngineDocument("a\tb")), u"a\tb");
}

// --- UTF-8 or Windows-1252, decided once per document ---------------------------

TEST(RtfReaderEncoding, ValidUtf8TextIsReadAsUtf8) {
    // Two-, three- and four-byte characters, in plain text and inside groups.
    EXPECT_EQ(TextOf(EngineDocument("caf\xc3\xa9 {\\cf2 '\xce\xb1\xce\xb2'} "
                                    "{\\cf3\\i \\{\xe4\xb8\xad\\}}\xf0\x9f\x98\x80")),
              u"caf\u00e9 '\u03b1\u03b2' {\u4e2d}\U0001F600");
    EXPECT_EQ(TextOf(EngineDocument("\xc2\xa0x\\par \xef\xbf\xbf")), u"\u00a0x\n\uffff");
    // An escaped byte is a code page byte whatever the raw text is.
    EXPECT_EQ(TextOf(EngineDocument("\xc3\xa9\\'e9\\'80")), u"\u00e9\u00e9\u20ac");
    // A NUL byte is not shown and does not change the reading.
    EXPECT_EQ(TextOf(EngineDocument(std::string("\xc3\xa9\0x", 4))), u"\u00e9x");
    // Pure ASCII reads as it always did.
    EXPECT_EQ(TextOf(EngineDocument("begin end.")), u"begin end.");
}

TEST(RtfReaderEncoding, OneInvalidSequenceMakesTheWholeDocumentWindows1252) {
    EXPECT_EQ(TextOf(EngineDocument("\xc3\xa9 \xe9 \xc3\xa9")),
              u"\u00c3\u00a9 \u00e9 \u00c3\u00a9");
    struct TCase {
        const char* Bytes;
        const char16_t* Text;
    };
    const TCase cases[] = {
        {"\xc3\xa9\xc0\xaf", u"\u00c3\u00a9\u00c0\u00af"},           // overlong '/'
        {"\xc3\xa9\xe0\x80\xaf", u"\u00c3\u00a9\u00e0\u20ac\u00af"}, // overlong, 3 bytes
        {"\xc3\xa9\xf0\x80\x80\xaf", u"\u00c3\u00a9\u00f0\u20ac\u20ac\u00af"},
        {"\xc3\xa9\xed\xa0\x80", u"\u00c3\u00a9\u00ed\u00a0\u20ac"},           // encoded surrogate
        {"\xc3\xa9\xed\xbf\xbf", u"\u00c3\u00a9\u00ed\u00bf\u00bf"},           // lone low surrogate
        {"\xc3\xa9\xf4\x90\x80\x80", u"\u00c3\u00a9\u00f4\u0090\u20ac\u20ac"}, // > U+10FFFF
        {"\xc3\xa9\xa9", u"\u00c3\u00a9\u00a9"},                               // stray trail byte
        {"\xc3\xa9x\xc3", u"\u00c3\u00a9x\u00c3"},                             // cut off
        {"\xc3\\par \xa9", u"\u00c3\n\u00a9"}, // a paragraph mark splits a character
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(TextOf(EngineDocument(c.Bytes)), c.Text) << c.Bytes;
    }
}

// A byte order mark first says UTF-8 and shows nothing: a source saved with one
// starts so in the engine's document, right after the header.
TEST(RtfReaderEncoding, AByteOrderMarkFirstSaysUtf8AndIsNotShown) {
    EXPECT_EQ(TextOf(EngineDocument("\xef\xbb\xbf{\\cf6\\b unit} caf\xc3\xa9;")),
              u"unit caf\u00e9;");
    const std::string markThenAscii = std::string("\xef\xbb\xbf") + "begin end.";
    EXPECT_EQ(TextOf(EngineDocument(markThenAscii)), u"begin end.");
    EXPECT_EQ(TextOf(EngineDocument("\xef\xbb\xbf")), u"");
    // Bytes that are no UTF-8 after it: each is its Windows-1252 character,
    // and the UTF-8 around them stays UTF-8.
    EXPECT_EQ(TextOf(EngineDocument("\xef\xbb\xbf\xc3\xa9 \xe9\x80 \xed\xa0\x80 \xc3\xa9\xc3")),
              u"\u00e9 \u00e9\u20ac \u00ed\u00a0\u20ac \u00e9\u00c3");
    // Anywhere else it is the character U+FEFF of UTF-8 text, or three
    // Windows-1252 characters.
    EXPECT_EQ(TextOf(EngineDocument("x\xef\xbb\xbf")), u"x\ufeff");
    EXPECT_EQ(TextOf(EngineDocument("\xef\xbb\xbf\xef\xbb\xbfx")), u"\ufeffx");
    EXPECT_EQ(TextOf(EngineDocument("x\xef\xbb\xbf\xe9")), u"x\u00ef\u00bb\u00bf\u00e9");
    EXPECT_EQ(TextOf("{\\rtf1 \\u8364\xef\xbb\xbfx}"), u"\u20acx"); // the alternative of \\u
    // A code page the document names wins; UTF-8 named is UTF-8.
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1252 \xef\xbb\xbfx}"), u"\u00ef\u00bb\u00bfx");
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg65001 \xef\xbb\xbfx\xe9}"), u"x\u00e9");
}

TEST(RtfReaderEncoding, ANamedCodePageWins) {
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1252 caf\xc3\xa9}"), u"caf\u00c3\u00a9");
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1251 \xc3\xa9}"), u"\u0413\u00a9");
    EXPECT_EQ(TextOf("{\\rtf1\\mac \xc3\xa9}"), u"\u221a\u00a9");
    // A font's own character set wins for its text.
    EXPECT_EQ(TextOf("{\\rtf1{\\fonttbl{\\f0 A;}{\\f1\\fcharset204 B;}}\\f0 \xc3\xa9{\\f1 "
                     "\xc3\xa9}}"),
              u"\u00e9\u0413\u00a9");
    // Code page 65001 is UTF-8 itself.
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg65001 caf\xc3\xa9}"), u"caf\u00e9");
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg65001 caf\xe9}"), u"caf\u00e9");
}

TEST(RtfReaderEncoding, AUtf8CharacterIsOneCharacterForSkipsAndFontNames) {
    // The alternative of \u is one character, however many bytes it takes.
    EXPECT_EQ(TextOf("{\\rtf1 \\u8364\xe2\x82\xacx}"), u"\u20acx");
    EXPECT_EQ(TextOf("{\\rtf1 \\uc2\\u8364\xc3\xa9\xc3\xa9x}"), u"\u20acx");
    const TRtfDocument doc = ReadRtf("{\\rtf1{\\fonttbl{\\f0 Caf\xc3\xa9 Mono;}}\\f0 \xc3\xa9}");
    EXPECT_EQ(doc.Text, u"\u00e9");
    ASSERT_GE(FormatAt(doc, 0).Font, 0);
    EXPECT_EQ(doc.Fonts[FormatAt(doc, 0).Font].Name, "Caf\xc3\xa9 Mono");
    // A lead byte taken by a control symbol leaves its trail byte, read as 1252.
    EXPECT_EQ(TextOf("{\\rtf1 \\\xc3\xa9x}"), u"\u00a9x");
}

// --- Code pages --------------------------------------------------------------

TEST(RtfReaderCodePage, AnsiCpgChangesTheCodePage) {
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1251 \\'c0\xc1}"), u"\u0410\u0411");
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1253 \\'e1}"), u"\u03b1");
    // Unknown code pages fall back to Windows-1252.
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg99999 \\'e9}"), u"\u00e9");
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg-5 \\'e9}"), u"\u00e9");
}

TEST(RtfReaderCodePage, FontCharsetSelectsTheCodePageOfItsText) {
    const std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                            "{\\f1\\fswiss\\fcharset204 Arial Cyr;}}\\f0 \\'e9{\\f1 \\'e9}\\'e9}";
    EXPECT_EQ(TextOf(rtf), u"\u00e9\u0439\u00e9");
}

TEST(RtfReaderCodePage, DoubleByteCodePage) {
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0a}"), u"\u3042a");
    // A lead byte without its trail byte shows nothing.
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg932 a\\'82}"), u"a");
}

TEST(RtfReaderCodePage, UnicodeEscapesAndTheirAlternatives) {
    EXPECT_EQ(TextOf("{\\rtf1 \\u8364?x}"), u"\u20acx");
    EXPECT_EQ(TextOf("{\\rtf1 \\uc2\\u8364\\'80\\'80x}"), u"\u20acx");
    EXPECT_EQ(TextOf("{\\rtf1 \\uc0\\u8364 x}"), u"\u20acx");
    EXPECT_EQ(TextOf("{\\rtf1 \\u-3913?}"), u"\uf0b7");
    EXPECT_EQ(TextOf("{\\rtf1 \\u-10179?\\u-8704?}"), u"\U0001F600");
    // The skip counts a control word as one character and stops at a group.
    EXPECT_EQ(TextOf("{\\rtf1 \\uc1\\u233\\tab b}"), u"\u00e9b");
    EXPECT_EQ(TextOf("{\\rtf1 {\\uc3\\u233}bcd}"), u"\u00e9bcd");
}

// --- Other writers ----------------------------------------------------------

TEST(RtfReaderOtherWriters, WordPadStyleDocument) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031{\\fonttbl{\\f0\\fnil"
        "\\fcharset0 Calibri;}{\\f1\\fmodern\\fprq1\\fcharset0 Consolas;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green77\\blue187;}\r\n"
        "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
        "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang7 Hello \\b bold\\b0  \\i it\\i0  "
        "\\ul under\\ulnone  \\strike gone\\strike0  \\cf1 red\\cf0  \\f1 mono\\f0\\par\r\n"
        "\\highlight2 mark\\highlight0\\line next\\tab x\\par\r\n}\r\n\0";
    const TRtfDocument doc = ReadRtf(rtf);
    EXPECT_EQ(doc.Text, u"Hello bold it under gone red mono\nmark\u2028next\tx");
    EXPECT_EQ(FormatAt(doc, 0).SizeHalfPoints, 22);
    EXPECT_EQ(doc.Fonts.at(FormatAt(doc, 0).Font).Name, "Calibri");
    EXPECT_TRUE(FormatAt(doc, 6).Bold);
    EXPECT_TRUE(FormatAt(doc, 11).Italic);
    EXPECT_TRUE(FormatAt(doc, 14).Underline);
    EXPECT_TRUE(FormatAt(doc, 20).Strike);
    EXPECT_EQ(FormatAt(doc, 25).Color, kRed);
    EXPECT_EQ(FormatAt(doc, 0).Color, kNoColor); // \cf0 with the automatic entry
    EXPECT_EQ(doc.Fonts.at(FormatAt(doc, 29).Font).Name, "Consolas");
    EXPECT_TRUE(doc.Fonts.at(FormatAt(doc, 29).Font).FixedPitch);
    EXPECT_EQ(FormatAt(doc, 34).Background, RgbColor(0x00, 0x4D, 0xBB));
    EXPECT_EQ(FormatAt(doc, 40).Background, kNoColor);
}

TEST(RtfReaderOtherWriters, SkipsWhatItDoesNotShow) {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl\\f0\\froman Times;\\f1\\fswiss Arial;}"
        "{\\stylesheet{\\s0 Normal;}{\\s1 Heading 1;}}"
        "{\\info{\\title Secret}{\\author Someone}}"
        "{\\header header text\\par}{\\footer footer text}"
        "{\\*\\unknowndestination hidden}"
        "A{\\pict\\wmetafile8 0102{}03}B"
        "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result R}}"
        "{\\field{\\*\\fldinst HYPERLINK \"http://example.invalid/\"}{\\fldrslt link}}"
        "{\\footnote note}{\\*\\bkmkstart b}"
        "C\\bin5 {}\\}\\D{\\pict\\bin3 }}}}E\\v hidden\\v0 F\\plain\\-G\\~H}";
    // The footnote's text goes to the end, behind the separating line.
    EXPECT_EQ(TextOf(rtf), u"ABRlinkCDEFG\u00a0H\n__________\nnote");
}

TEST(RtfReaderOtherWriters, SymbolsAndQuotes) {
    EXPECT_EQ(TextOf("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote"
                     "\\rdblquote\\_\\emspace\\enspace}"),
              u"\u2014\u2013\u2022\u2018\u2019\u201c\u201d\u2011\u2003\u2002");
    EXPECT_EQ(TextOf("{\\rtf1 a\\cell b\\row c\\page d\\sect e}"), u"a\tb\nc\nd\ne");
    EXPECT_EQ(TextOf("{\\rtf1 a\\\nb\\\r\nc}"), u"a\nb\nc");
}

TEST(RtfReaderOtherWriters, PlainResetsAndSizesSuperscript) {
    const TRtfDocument doc =
        ReadRtf("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;}\\b\\i\\cf1\\fs40 a\\plain b"
                "\\super c\\nosupersub\\sub d\\fs0 e\\cb1 f}");
    EXPECT_EQ(doc.Text, u"abcdef");
    EXPECT_TRUE(FormatAt(doc, 0).Bold);
    EXPECT_EQ(FormatAt(doc, 0).SizeHalfPoints, 40);
    EXPECT_EQ(FormatAt(doc, 0).Color, RgbColor(0x00, 0x00, 0xFF));
    EXPECT_EQ(FormatAt(doc, 1), TRtfCharFormat{});
    EXPECT_EQ(FormatAt(doc, 2).Vertical, 1);
    EXPECT_EQ(FormatAt(doc, 3).Vertical, -1);
    EXPECT_EQ(FormatAt(doc, 4).SizeHalfPoints, 24); // a size of 0 means the default
    EXPECT_EQ(FormatAt(doc, 5).Background, RgbColor(0x00, 0x00, 0xFF));
}

TEST(RtfReaderOtherWriters, ColourNumbersOutsideTheTableAreAutomatic) {
    const TRtfDocument doc =
        ReadRtf("{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\cf2 a\\cf-1 b\\cf1 c}");
    EXPECT_EQ(FormatAt(doc, 0).Color, kNoColor);
    EXPECT_EQ(FormatAt(doc, 1).Color, kNoColor);
    EXPECT_EQ(FormatAt(doc, 2).Color, RgbColor(0x01, 0x02, 0x03));
}

// --- Damaged input ------------------------------------------------------------

TEST(RtfReaderDamaged, TruncatedDocumentsShowWhatWasRead) {
    const std::string full = EngineDocument("{\\cf6\\b begin} x := {\\cf2 '\\'e9'}\\par end");
    for (std::size_t cut = 0; cut <= full.size(); ++cut) {
        const TRtfDocument doc = ReadRtf(full.substr(0, cut));
        ASSERT_LE(doc.Text.size(), 18u) << "cut at " << cut;
        std::size_t covered = 0;
        for (const TRtfRun& run : doc.Runs) {
            ASSERT_EQ(run.Start, covered);
            ASSERT_LT(run.Format, doc.Formats.size());
            covered += run.Length;
        }
        ASSERT_EQ(covered, doc.Text.size());
    }
    EXPECT_EQ(TextOf(full.substr(0, full.size() - 10)), u"begin x := '\u00e9'\nen");
}

TEST(RtfReaderDamaged, UnbalancedGroupsAndTrailingData) {
    EXPECT_EQ(TextOf("{\\rtf1 a{\\b b{\\i c"), u"abc");
    EXPECT_EQ(TextOf("{\\rtf1 a}b}c"), u"a"); // the document ends with its group
    EXPECT_EQ(TextOf("{\\rtf1 a}}}}"), u"a");
}

TEST(RtfReaderDamaged, NulBytesAndBrokenEscapes) {
    EXPECT_EQ(TextOf(std::string("{\\rtf1 a\0b\\\0c}", 14)), u"abc");
    EXPECT_EQ(TextOf("{\\rtf1 a\\'zzb\\'4}"), u"azzb4");
    EXPECT_EQ(TextOf("{\\rtf1 a\\"), u"a");
    EXPECT_EQ(TextOf("{\\rtf1 a\\'"), u"a");
    EXPECT_EQ(TextOf("{\\rtf1 a\\u"), u"a");
    EXPECT_EQ(TextOf("{\\rtf1 a\\- b}"), u"a b"); // a symbol takes no delimiter
}

TEST(RtfReaderDamaged, HugeNumbersAreBounded) {
    const TRtfDocument doc =
        ReadRtf("{\\rtf1{\\colortbl;\\red99999999999999999999\\green-5\\blue256;}"
                "\\fs99999999999999999999 a\\cf1\\u99999999999999 b\\uc2147483647 \\f-99999999999 c"
                "\\bin99999999999999999999 xyz}");
    EXPECT_EQ(doc.Text.substr(0, 1), u"a");
    EXPECT_EQ(FormatAt(doc, 0).SizeHalfPoints, 3276);
    EXPECT_EQ(FormatAt(doc, 1).Color, RgbColor(0xFF, 0x00, 0xFF));
}

TEST(RtfReaderDamaged, DeepNestingIsBoundedAndShowsTheShallowText) {
    std::string rtf = "{\\rtf1 a";
    for (int i = 0; i < 100000; ++i) {
        rtf += "{x";
    }
    rtf += "b";
    rtf.append(100000, '}');
    rtf += "c}";
    const std::u16string text = TextOf(rtf);
    ASSERT_GE(text.size(), 100u);
    EXPECT_EQ(text.front(), u'a');
    EXPECT_EQ(text.back(), u'c');
    EXPECT_LT(text.size(), 1000u);
}

TEST(RtfReaderDamaged, QtControlCharactersNeverReachTheText) {
    EXPECT_EQ(TextOf("{\\rtf1 \\u-560?\\u-559?\\u-4?\\u8233?x}"), u"\ufffd\ufffd\ufffd\nx");
}

// --- Plain text -----------------------------------------------------------------

TEST(PlainText, RtfIsRecognisedOnlyByItsOpening) {
    EXPECT_TRUE(IsRtf("{\\rtf1}"));
    EXPECT_TRUE(IsRtf("{\\rtf"));
    EXPECT_FALSE(IsRtf(" {\\rtf1}"));
    EXPECT_FALSE(IsRtf("{\\RTF1}"));
    EXPECT_FALSE(IsRtf("{\\rt"));
    EXPECT_FALSE(IsRtf(""));
    EXPECT_EQ(ReadDocument("{\\rt{\\b x}").Text, u"{\\rt{\\b x}");
    EXPECT_EQ(ReadDocument("{\\rtf1{\\b x}}").Text, u"x");
}

TEST(PlainText, Utf8WhenValidElseWindows1252) {
    EXPECT_EQ(ReadPlainText("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80").Text,
              u"caf\u00e9 \u20ac \U0001F600");
    EXPECT_EQ(ReadPlainText("\xef\xbb\xbfx").Text, u"x");
    EXPECT_EQ(ReadPlainText("caf\xe9 \x80").Text, u"caf\u00e9 \u20ac");
    // Overlong forms, surrogates and cut-off sequences are not UTF-8.
    EXPECT_EQ(ReadPlainText("\xc0\xaf").Text, u"\u00c0\u00af");
    EXPECT_EQ(ReadPlainText("\xed\xa0\x80").Text, u"\u00ed\u00a0\u20ac");
    EXPECT_EQ(ReadPlainText("a\xc3").Text, u"a\u00c3");
}

TEST(PlainText, AByteOrderMarkSaysUtf8WhateverFollows) {
    EXPECT_EQ(ReadPlainText("\xef\xbb\xbf").Text, u"");
    EXPECT_EQ(ReadPlainText("\xef\xbb\xbf\xef\xbb\xbfx").Text, u"\ufeffx");
    // Bytes that are no UTF-8: each its Windows-1252 character, nothing lost.
    EXPECT_EQ(ReadPlainText("\xef\xbb\xbf"
                            "caf\xc3\xa9 \xe9\x80 \xf0\x9f\x98\x80 \xc0\xaf\xc3")
                  .Text,
              u"caf\u00e9 \u00e9\u20ac \U0001F600 \u00c0\u00af\u00c3");
    // Not first: text like any other.
    EXPECT_EQ(ReadPlainText("x\xef\xbb\xbf").Text, u"x\ufeff");
    EXPECT_EQ(ReadPlainText("x\xef\xbb\xbf\xe9").Text, u"x\u00ef\u00bb\u00bf\u00e9");
}

TEST(PlainText, LineEndsAndNul) {
    const TRtfDocument doc = ReadPlainText(std::string("a\r\nb\rc\nd\0e\r\n", 12));
    EXPECT_EQ(doc.Text, u"a\nb\nc\nde\n");
    ASSERT_EQ(doc.Runs.size(), 1u);
    EXPECT_EQ(doc.Runs[0].Length, doc.Text.size());
    const TRtfCharFormat& format = doc.Formats.at(0);
    ASSERT_EQ(doc.Fonts.size(), 1u);
    EXPECT_EQ(doc.Fonts[format.Font].Name, "Courier New");
    EXPECT_TRUE(doc.Fonts[format.Font].FixedPitch);
    EXPECT_EQ(format.SizeHalfPoints, 18);
    EXPECT_EQ(format.Color, kNoColor);
    EXPECT_FALSE(format.Bold || format.Italic || format.Underline);
    EXPECT_TRUE(ReadPlainText("").Runs.empty());
}

// --- Stopping a long read ----------------------------------------------------

TEST(RtfReaderStop, AskedEvery256KilobytesAndEndsTheReadWhenItSaysSo) {
    std::string body;
    while (body.size() < 2 * 1024 * 1024) {
        body += "{\\cf6\\b begin} x := {\\cf2 'text'};\r\n\\par ";
    }
    const std::string rtf = EngineDocument(body);
    const TRtfDocument plain = ReadRtf(rtf);

    std::size_t asked = 0;
    const TRtfDocument watched = ReadRtf(rtf, [&] {
        ++asked;
        return false;
    });
    EXPECT_EQ(watched.Text, plain.Text);
    EXPECT_GE(asked, rtf.size() / (256 * 1024));
    EXPECT_LE(asked, rtf.size() / (256 * 1024) + 2);

    asked = 0;
    EXPECT_THROW(ReadRtf(rtf, [&] { return ++asked == 3; }), EConversionCancelled);
    EXPECT_EQ(asked, 3u);
    // Plain text and a stop that is not given read as before.
    EXPECT_EQ(ReadDocument("plain", [] { return true; }).Text, u"plain");
}

} // namespace
