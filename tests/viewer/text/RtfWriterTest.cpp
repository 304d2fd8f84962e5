// The writer: what it writes reads back as the same text and formatting.

#include "viewer/text/RtfWriter.h"

#include "tests/viewer/text/RtfTestSupport.h"
#include "viewer/text/RtfReader.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TRtfDocument SampleDocument() {
    TRtfDocument doc;
    const int mono = doc.FontIndex({"Courier New", true});
    const int sans = doc.FontIndex({"Arial \xc3\xa9t\xc3\xa9", false});
    TRtfCharFormat plain;
    plain.Font = mono;
    plain.SizeHalfPoints = 18;
    plain.Color = kBlack;
    TRtfCharFormat keyword = plain;
    keyword.Bold = true;
    TRtfCharFormat comment = plain;
    comment.Color = kNavy;
    comment.Italic = true;
    TRtfCharFormat fancy;
    fancy.Font = sans;
    fancy.SizeHalfPoints = 31;
    fancy.Color = RgbColor(0x12, 0x34, 0x56);
    fancy.Background = RgbColor(0xFE, 0xDC, 0xBA);
    fancy.Underline = true;
    fancy.Strike = true;
    fancy.Vertical = 1;
    TRtfCharFormat defaults; // the view's default font
    defaults.Vertical = -1;

    doc.Append(u"begin", doc.FormatIndex(keyword));
    doc.Append(u" x := \\{}\t\u00e9\u20ac\u4e2d\U0001F600\u0001;", doc.FormatIndex(plain));
    doc.Append(u"{ note\ncontinued }", doc.FormatIndex(comment));
    doc.Append(u"\n\n", doc.FormatIndex(plain));
    doc.Append(u"fancy\u2028line  two ", doc.FormatIndex(fancy));
    doc.Append(u"sub", doc.FormatIndex(defaults));
    doc.Append(u"\n", doc.FormatIndex(plain));
    return doc;
}

TEST(RtfWriter, ReadingWhatWasWrittenGivesTheSameDocument) {
    const TRtfDocument doc = SampleDocument();
    const TRtfDocument back = ReadRtf(WriteRtf(doc));
    EXPECT_EQ(back.Text, doc.Text);
    EXPECT_EQ(Spans(back), Spans(doc));
    // Written again, it is the same bytes.
    EXPECT_EQ(WriteRtf(back), WriteRtf(doc));
}

TEST(RtfWriter, OutputIsAsciiWithEscapes) {
    const std::string rtf = WriteRtf(SampleDocument());
    for (unsigned char c : rtf) {
        ASSERT_LT(c, 0x80) << "byte " << int(c);
    }
    EXPECT_NE(rtf.find("\\'e9"), std::string::npos);
    EXPECT_NE(rtf.find("\\'80"), std::string::npos); // the euro sign is in 1252
    EXPECT_NE(rtf.find("\\u20013?"), std::string::npos);
    EXPECT_NE(rtf.find("\\u-10179?\\u-8704?"), std::string::npos);
    EXPECT_NE(rtf.find("\\\\\\{\\}\\tab "), std::string::npos);
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1252"));
}

TEST(RtfWriter, ColourTableStartsWithTheAutomaticEntry) {
    TRtfDocument doc;
    TRtfCharFormat red;
    red.Color = kRed;
    doc.Append(u"a", doc.FormatIndex(TRtfCharFormat{}));
    doc.Append(u"b", doc.FormatIndex(red));
    const std::string rtf = WriteRtf(doc);
    EXPECT_NE(rtf.find("{\\colortbl;\\red255\\green0\\blue0;}"), std::string::npos);
    EXPECT_NE(rtf.find("\\cf1 b}"), std::string::npos);
    const TRtfDocument back = ReadRtf(rtf);
    EXPECT_EQ(FormatAt(back, 0).Color, kNoColor);
    EXPECT_EQ(FormatAt(back, 1).Color, kRed);
}

TEST(RtfWriter, EmptyAndParagraphOnlyDocuments) {
    for (const std::u16string& text : {std::u16string(), std::u16string(u"\n"),
                                       std::u16string(u"\n\n\n"), std::u16string(u"a\n")}) {
        TRtfDocument doc;
        doc.Append(text, doc.FormatIndex(TRtfCharFormat{}));
        const TRtfDocument back = ReadRtf(WriteRtf(doc));
        EXPECT_EQ(back.Text, text);
        EXPECT_EQ(Spans(back), Spans(doc));
    }
}

TEST(RtfWriter, EngineDocumentSurvivesAReadWriteRead) {
    const TRtfDocument first = ReadRtf(EngineDocument(
        "{\\cf6\\b unit} u;\\par {\\cf3\\i // \xe9t\xe9\\par}{\\cf5 mov {\\cf3\\i \\{x\\}}}{\\b "
        "end}{\\cf4 $FF}{\\cf2 #13}\\par "));
    const TRtfDocument second = ReadRtf(WriteRtf(first));
    EXPECT_EQ(second.Text, first.Text);
    EXPECT_EQ(Spans(second), Spans(first));
}

TEST(RtfWriter, FontNamesCannotBreakTheTable) {
    TRtfDocument doc;
    TRtfCharFormat f;
    f.Font = doc.FontIndex({"Evil;}{\\b Name", false});
    doc.Append(u"x", doc.FormatIndex(f));
    const TRtfDocument back = ReadRtf(WriteRtf(doc));
    EXPECT_EQ(back.Text, u"x");
    ASSERT_EQ(back.Fonts.size(), 1u);
    EXPECT_EQ(back.Fonts[0].Name, "Evil}{\\b Name");
}

} // namespace
