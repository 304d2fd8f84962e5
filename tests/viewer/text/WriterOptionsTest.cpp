// The HTML and terminal writers and the writers' options (line numbers, font,
// size), on documents built by hand; the expected texts are worked out from
// the rules, character by character.

#include "tests/viewer/text/RtfTestSupport.h"
#include "viewer/text/AnsiWriter.h"
#include "viewer/text/DocumentLines.h"
#include "viewer/text/HtmlWriter.h"
#include "viewer/text/RtfReader.h"
#include "viewer/text/RtfWriter.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// "begin" bold, " x" plain, "{c}" navy italic, a paragraph end, "'s'" red:
// two lines in black text on Courier New at 9 points.
TRtfDocument TwoLines(bool finalLineEnd = false) {
    TRtfDocument doc;
    TRtfCharFormat plain;
    plain.Font = doc.FontIndex({"Courier New", true});
    plain.SizeHalfPoints = 18;
    plain.Color = kBlack;
    TRtfCharFormat keyword = plain;
    keyword.Bold = true;
    TRtfCharFormat comment = plain;
    comment.Color = kNavy;
    comment.Italic = true;
    TRtfCharFormat string = plain;
    string.Color = kRed;
    doc.Append(u"begin", doc.FormatIndex(keyword));
    doc.Append(u" x<&>", doc.FormatIndex(plain));
    doc.Append(u"{c}", doc.FormatIndex(comment));
    doc.Append(u"\n", doc.FormatIndex(plain));
    doc.Append(u"'s'", doc.FormatIndex(string));
    if (finalLineEnd) {
        doc.Append(u"\n", doc.FormatIndex(plain));
    }
    return doc;
}

TRtfDocument Plain(std::u16string_view text) {
    TRtfDocument doc;
    TRtfCharFormat plain;
    plain.Color = kBlack;
    doc.Append(text, doc.FormatIndex(plain));
    return doc;
}

// The text of an ANSI output without its escapes (ESC [ ... letter).
std::string StripEscapes(const std::string& ansi) {
    std::string text;
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        if (ansi[i] == '\x1b' && i + 1 < ansi.size() && ansi[i + 1] == '[') {
            i += 2;
            while (i < ansi.size() && !(ansi[i] >= '@' && ansi[i] <= '~')) {
                ++i;
            }
        } else {
            text += ansi[i];
        }
    }
    return text;
}

TEST(DocumentLines, CountsLinesWithoutTheEmptyOneAfterAFinalLineEnd) {
    EXPECT_EQ(CountLines(Plain(u"")), 0u);
    EXPECT_EQ(CountLines(Plain(u"a")), 1u);
    EXPECT_EQ(CountLines(Plain(u"a\n")), 1u);
    EXPECT_EQ(CountLines(Plain(u"a\n\n")), 2u);
    EXPECT_EQ(CountLines(Plain(u"\n")), 1u);
    EXPECT_EQ(CountLines(Plain(u"a\u2028b\nc")), 3u);    // a line break starts a line too
    EXPECT_EQ(CountLines(Plain(u"\u4e2d\n\u4e2d")), 2u); // the two-byte text
}

TEST(DocumentLines, FontNamesThatCannotBeWritten) {
    EXPECT_TRUE(IsWritableFontName("DejaVu Sans Mono"));
    EXPECT_TRUE(IsWritableFontName("Caf\xc3\xa9 Mono"));
    for (const char* bad : {"a;b", "a{b", "a}b", "a\\b", "a\tb", "a\nb", "a\x7f"}) {
        EXPECT_FALSE(IsWritableFontName(bad)) << bad;
    }
}

TEST(HtmlWriter, PageHasTitleBackgroundAndSpansOnlyForWhatDiffers) {
    TWriterOptions options;
    options.TextColor = kBlack;
    options.Background = RgbColor(0xFF, 0xFF, 0xE0);
    options.Title = "a<b>.pas";
    const std::string html = WriteHtml(TwoLines(), options);
    EXPECT_EQ(html, "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                    "<title>a&lt;b&gt;.pas</title></head>"
                    "<body style=\"margin:0;background-color:#ffffe0\">"
                    "<pre style=\"margin:0;padding:0.5em;background-color:#ffffe0;"
                    "color:#000000;font-family:'Courier New',monospace;font-size:9pt\">"
                    "<span style=\"font-weight:bold\">begin</span> x&lt;&amp;&gt;"
                    "<span style=\"color:#000080;font-style:italic\">{c}</span>\n"
                    "<span style=\"color:#ff0000\">'s'</span></pre></body></html>\n");
}

TEST(HtmlWriter, FragmentIsThePreAloneWithNumbersThatCannotBeSelected) {
    TWriterOptions options;
    options.Fragment = true;
    options.LineNumbers = true;
    options.FirstLineNumber = 9; // 9 and 10: aligned to two digits
    const std::string html = WriteHtml(TwoLines(true), options);
    EXPECT_TRUE(html.starts_with("<pre style=\"margin:0;font-family:'Courier "
                                 "New',monospace;font-size:9pt\">"))
        << html;
    EXPECT_TRUE(html.ends_with("</pre>\n")) << html;
    const std::string number = "<span style=\"user-select:none;-webkit-user-select:none\">";
    EXPECT_NE(html.find(">" + number +
                        " 9  </span><span style=\"color:#000000;"
                        "font-weight:bold\">begin"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("\n" + number + "10  </span><span"), std::string::npos) << html;
    // The empty line after the final line end has no number.
    EXPECT_EQ(html.find("11"), std::string::npos) << html;
}

TEST(HtmlWriter, FontAndSizeOptionsReachThePre) {
    TWriterOptions options;
    options.FontName = "Fira 'Code'";
    options.FontHalfPoints = 21;
    const std::string html = WriteHtml(TwoLines(), options);
    // Quotes would end the CSS string or the attribute: they are left out.
    EXPECT_NE(html.find("font-family:'Fira Code',monospace;font-size:10.5pt\">"), std::string::npos)
        << html;
    EXPECT_EQ(html.find("Courier"), std::string::npos) << html;
}

TEST(HtmlWriter, NonAsciiIsUtf8AndControlsAreReplaced) {
    const std::string html = WriteHtml(Plain(u"\u00e9\u4e2d\U0001F600\u0001\t\u0085"));
    EXPECT_NE(html.find("\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80\xef\xbf\xbd\t\xef\xbf\xbd"),
              std::string::npos)
        << html;
    // A surrogate without its pair is no character.
    EXPECT_NE(WriteHtml(Plain(u"a\xd800")).find("a\xef\xbf\xbd</span>"), std::string::npos);
}

TEST(HtmlWriter, PartsMakeTheSamePageAsTheWhole) {
    TWriterOptions options;
    options.LineNumbers = true;
    const TRtfDocument whole = ReadRtf(EngineDocument("{\\cf6\\b a}\\par b\\par c\\par "));
    // The trailer's paragraph mark ends the document, so the first part keeps
    // its line end as a part cut after it does.
    const TRtfDocument first = ReadRtf(EngineDocument("{\\cf6\\b a}\\par b\\par "));
    const TRtfDocument second = ReadRtf(EngineDocument("c\\par "));
    TWriterOptions secondOptions = options;
    secondOptions.FirstLineNumber = 3;
    secondOptions.NumberWidth = 1;
    EXPECT_EQ(HtmlPageStart(first, options) + HtmlCode(first, first, options) +
                  HtmlCode(second, first, secondOptions) + HtmlPageEnd(options),
              WriteHtml(whole, options));
}

TEST(AnsiWriter, ColoursBoldItalicAndAResetAtEveryLineEnd) {
    TWriterOptions options;
    options.TextColor = kBlack;
    EXPECT_EQ(WriteAnsi(TwoLines(true), options),
              "\x1b[0;1;39mbegin\x1b[0;39m x<&>\x1b[0;3;38;2;0;0;128m{c}\x1b[0m\n"
              "\x1b[0;38;2;255;0;0m's'\x1b[0m\n");
    // Without a final line end the last line is reset too.
    EXPECT_TRUE(WriteAnsi(TwoLines(false), options).ends_with("'s'\x1b[0m"));
}

TEST(AnsiWriter, TextColourOtherThanTheSlotsIsWrittenAsRgb) {
    TWriterOptions options;
    options.TextColor = kRed; // a scheme whose plain text is red
    const std::string ansi = WriteAnsi(TwoLines(), options);
    EXPECT_NE(ansi.find("\x1b[0;1;38;2;0;0;0mbegin"), std::string::npos) << ansi;
    EXPECT_NE(ansi.find("\x1b[0;39m's'"), std::string::npos) << ansi;
}

TEST(AnsiWriter, NumbersAreAlignedPlainAndStripsToTheText) {
    TWriterOptions options;
    options.LineNumbers = true;
    options.FirstLineNumber = 0;
    options.TextColor = kBlack;
    std::u16string text;
    std::string expected;
    for (int i = 0; i < 11; ++i) {
        text += u"x\n";
        expected += (i < 10 ? " " : "") + std::to_string(i) + "  x\n";
    }
    const std::string ansi = WriteAnsi(Plain(text), options);
    EXPECT_EQ(StripEscapes(ansi), expected);
    // The number comes before any escape of its line, in the terminal's colours.
    EXPECT_TRUE(ansi.starts_with(" 0  \x1b[0;39mx")) << ansi;
    // An escape byte of the source never reaches the terminal.
    EXPECT_EQ(WriteAnsi(Plain(u"a\x1b[2Jb")).find("\x1b[2J"), std::string::npos);
}

TEST(RtfWriter, LineNumbersFontAndSizeReadBack) {
    TWriterOptions options;
    options.LineNumbers = true;
    options.FontName = "DejaVu Sans Mono";
    options.FontHalfPoints = 21;
    options.TextColor = kBlack;
    const std::string rtf = WriteRtf(TwoLines(true), options);
    const TRtfDocument back = ReadRtf(rtf);
    EXPECT_EQ(back.Text, u"1  begin x<&>{c}\n2  's'\n") << rtf;
    ASSERT_FALSE(back.Runs.empty());
    for (const TRtfRun& run : back.Runs) {
        if (back.Text.substr(run.Start, run.Length) == u"\n") {
            continue; // a paragraph mark takes the paragraph's format, not a run's
        }
        const TRtfCharFormat& f = back.Formats[run.Format];
        EXPECT_EQ(back.Fonts[static_cast<std::size_t>(f.Font)].Name, "DejaVu Sans Mono");
        EXPECT_EQ(f.SizeHalfPoints, 21);
    }
    // The number is in the text colour, neither bold nor italic.
    const TRtfCharFormat& number = back.Formats[back.Runs[0].Format];
    EXPECT_EQ(number.Color, kBlack);
    EXPECT_FALSE(number.Bold || number.Italic);
    // Without options the writer's document is what it always was.
    EXPECT_EQ(WriteRtf(TwoLines(true)), WriteRtf(TwoLines(true), TWriterOptions{}));
    EXPECT_EQ(ReadRtf(WriteRtf(TwoLines(true))).Text, u"begin x<&>{c}\n's'\n");
}

} // namespace
