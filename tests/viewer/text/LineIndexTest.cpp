// The line index, ranges of a document, and the HTML flavour of a copy.

#include "viewer/text/LineIndex.h"

#include "viewer/text/HtmlWriter.h"
#include "viewer/text/RtfRange.h"
#include "viewer/text/RtfReader.h"
#include "viewer/text/RtfWriter.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(LineIndex, StartsEndsAndLinesOfPositions) {
    // Lines: "ab", "", "cd" (after a line break), "e".
    const std::u16string text = u"ab\n\ncd\u2028e";
    const TLineIndex lines(text);
    ASSERT_EQ(lines.Count(), 4u);
    EXPECT_EQ(lines.Start(0), 0u);
    EXPECT_EQ(lines.End(0), 2u);
    EXPECT_EQ(lines.Start(1), 3u);
    EXPECT_EQ(lines.End(1), 3u);
    EXPECT_EQ(lines.Start(2), 4u);
    EXPECT_EQ(lines.End(2), 6u);
    EXPECT_EQ(lines.Start(3), 7u);
    EXPECT_EQ(lines.End(3), 8u);
    // A position at a line's end belongs to that line, the next one to the next.
    EXPECT_EQ(lines.LineOf(0), 0u);
    EXPECT_EQ(lines.LineOf(2), 0u);
    EXPECT_EQ(lines.LineOf(3), 1u);
    EXPECT_EQ(lines.LineOf(4), 2u);
    EXPECT_EQ(lines.LineOf(6), 2u);
    EXPECT_EQ(lines.LineOf(8), 3u);
    EXPECT_EQ(lines.LineOf(1000), 3u);
}

TEST(LineIndex, EmptyTextAndOnlyLineEnds) {
    const TLineIndex empty(u"");
    ASSERT_EQ(empty.Count(), 1u);
    EXPECT_EQ(empty.Start(0), 0u);
    EXPECT_EQ(empty.End(0), 0u);
    EXPECT_EQ(empty.Widest(), 0);

    const TLineIndex ends(u"\n\n\n", {10, 80});
    ASSERT_EQ(ends.Count(), 4u);
    for (std::size_t line = 0; line < 4; ++line) {
        EXPECT_EQ(ends.Start(line), line);
        EXPECT_EQ(ends.End(line), line);
        EXPECT_TRUE(ends.IsCellLine(line));
    }
    EXPECT_EQ(ends.Widest(), 0);
}

TEST(LineIndex, WidestLineWithTabStops) {
    // Cells of 10 px, tab stops every 35 px.
    const TFixedPitch pitch{10, 35};
    // "abc" = 30; "\tx" = 35 + 10 = 45; "abcd\tx" = 40 -> 70, + 10 = 80;
    // "abc\t" ends on a stop: 30 -> 35. A tab right on a stop goes to the next: "\t\t" = 70.
    EXPECT_DOUBLE_EQ(TLineIndex(u"abc", pitch).Widest(), 30);
    EXPECT_DOUBLE_EQ(TLineIndex(u"\tx", pitch).Widest(), 45);
    EXPECT_DOUBLE_EQ(TLineIndex(u"abcd\tx", pitch).Widest(), 80);
    EXPECT_DOUBLE_EQ(TLineIndex(u"\t\t", pitch).Widest(), 70);
    EXPECT_DOUBLE_EQ(TLineIndex(u"abc\t\nab\nabcd\tx\na", pitch).Widest(), 80);
    EXPECT_DOUBLE_EQ(TLineIndex::WidthOf(u"abcd\tx", pitch), 80);
    EXPECT_DOUBLE_EQ(NextTabStop(35, pitch), 70);
    EXPECT_DOUBLE_EQ(NextTabStop(34.9, pitch), 35);
}

TEST(LineIndex, LinesWithCharactersOutsideTheCellsAreMarked) {
    std::u16string text;
    for (int line = 0; line < 130; ++line) {
        text += line == 3 ? u"e\u0301" : line == 64 ? u"\u4e2d" : line == 129 ? u"\x01" : u"ok\t";
        text += u'\n';
    }
    const TLineIndex lines(text, {7, 48});
    ASSERT_EQ(lines.Count(), 131u);
    for (std::size_t line = 0; line < lines.Count(); ++line) {
        EXPECT_EQ(lines.IsCellLine(line), line != 3 && line != 64 && line != 129) << line;
    }
}

TEST(LineIndex, AMillionCharacterLine) {
    std::u16string text(1'000'000, u'x');
    text += u"\nend";
    const TLineIndex lines(text, {8, 64});
    ASSERT_EQ(lines.Count(), 2u);
    EXPECT_EQ(lines.End(0), 1'000'000u);
    EXPECT_DOUBLE_EQ(lines.Widest(), 8'000'000);
    EXPECT_EQ(lines.LineOf(999'999), 0u);
    EXPECT_EQ(lines.LineOf(1'000'001), 1u);
}

TRtfDocument ThreeRuns() {
    // "red " in red Courier New, "bold" bold in Arial, "\nplain" unformatted.
    return ReadRtf("{\\rtf1{\\fonttbl{\\f0\\fmodern Courier New;}{\\f1 Arial;}{\\f2 Unused;}}"
                   "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                   "{\\f0\\cf1 red }{\\f1\\b bold}\\par {\\f0 plain}}");
}

TEST(RtfRange, RangesKeepTheirFormatsAndOnlyTheFontsUsed) {
    const TRtfDocument doc = ThreeRuns();
    ASSERT_EQ(doc.Text, u"red bold\nplain");
    EXPECT_EQ(RunAt(doc, 0), 0u);
    EXPECT_EQ(RunAt(doc, 4), 1u);
    EXPECT_EQ(RunAt(doc, 100), doc.Runs.size());

    const TRtfDocument part = DocumentRange(doc, 2, 6); // "d bo"
    EXPECT_EQ(part.Text, u"d bo");
    ASSERT_EQ(part.Runs.size(), 2u);
    EXPECT_EQ(part.Runs[0].Length, 2u);
    EXPECT_EQ(part.Formats[part.Runs[0].Format].Color, RgbColor(255, 0, 0));
    EXPECT_TRUE(part.Formats[part.Runs[1].Format].Bold);
    ASSERT_EQ(part.Fonts.size(), 2u);
    EXPECT_EQ(part.Fonts[static_cast<std::size_t>(part.Formats[part.Runs[1].Format].Font)].Name,
              "Arial");

    EXPECT_TRUE(DocumentRange(doc, 5, 5).Text.empty());
    EXPECT_TRUE(DocumentRange(doc, 7, 3).Runs.empty());
    EXPECT_EQ(DocumentRange(doc, 9, 1000).Text, u"plain");
    EXPECT_EQ(DocumentRange(doc, 0, doc.Text.size()).Text, doc.Text);
}

TEST(TabStops, ReadWrittenAndKeptInRanges) {
    EXPECT_EQ(ReadRtf("{\\rtf1 x}").DefaultTabTwips, 720);
    EXPECT_EQ(ReadRtf("{\\rtf1\\deftab0 x}").DefaultTabTwips, 720);
    EXPECT_EQ(ReadRtf("{\\rtf1\\deftab-5 x}").DefaultTabTwips, 720);
    const TRtfDocument doc = ReadRtf("{\\rtf1\\deftab360 a\\tab b}");
    EXPECT_EQ(doc.DefaultTabTwips, 360);
    EXPECT_EQ(DocumentRange(doc, 1, 2).DefaultTabTwips, 360);
    EXPECT_EQ(ReadRtf(WriteRtf(doc)).DefaultTabTwips, 360);
}

TEST(HtmlWriter, SpansCarryColourWeightAndEscapedText) {
    TRtfDocument doc = ReadRtf("{\\rtf1{\\fonttbl{\\f0\\fmodern Courier New;}}"
                               "{\\colortbl;\\red255\\green0\\blue0;}"
                               "{\\f0\\cf1\\b a<b>&c}\\par {\\f0\\i \"q\"\\line x}}");
    const std::string html = WriteHtml(doc);
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("color:#ff0000;font-weight:bold\">a&lt;b&gt;&amp;c</span>"),
              std::string::npos)
        << html;
    // A line break ends the span: no markup crosses a line.
    EXPECT_NE(html.find("font-style:italic\">&quot;q&quot;</span>\n<span "
                        "style=\"font-style:italic\">x</span>"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("font-family:'Courier New',monospace;font-size:12pt"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_NE(WriteHtml(TRtfDocument{}).find("<pre"), std::string::npos);
}

} // namespace
