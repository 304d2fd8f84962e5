// The document model's compact storage (one byte a character while the text
// is Latin-1, runs as starts and format indices) and the engine's RTF on its
// way into the model: the buffer that gives back what the reader has passed.

#include "engine/PascalParser.h"
#include "viewer/text/DocumentBuffer.h"
#include "viewer/text/LineIndex.h"
#include "viewer/text/RtfReader.h"
#include "viewer/text/RtfWriter.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(DocText, StaysNarrowUntilACharacterNeedsMore) {
    TDocText text;
    text.append(u"caf\u00e9 \u00ff");
    EXPECT_FALSE(text.IsWide());
    EXPECT_EQ(text.size(), 6u);
    EXPECT_EQ(text[3], u'\u00e9');
    EXPECT_EQ(text[5], u'\u00ff');

    text.push_back(u'\u0100'); // the first beyond Latin-1
    EXPECT_TRUE(text.IsWide());
    text.append(u"\u20ac\U0001F600");
    EXPECT_EQ(text, u"caf\u00e9 \u00ff\u0100\u20ac\U0001F600");
    EXPECT_EQ(text.size(), 10u);
    EXPECT_EQ(text.back(), u'\xDE00'); // the low surrogate
    text.pop_back();
    text.pop_back();
    EXPECT_EQ(text.substr(4), u" \u00ff\u0100\u20ac");
}

TEST(DocText, PiecesAndComparisonsAcrossWidths) {
    TDocText narrow;
    narrow.append(u"abc\u00e9");
    TDocText wide;
    wide.push_back(u'\u4e2d');
    wide.pop_back(); // wide, yet the same characters as NARROW afterwards
    wide.append(u"abc\u00e9");
    ASSERT_TRUE(wide.IsWide());
    ASSERT_FALSE(narrow.IsWide());
    EXPECT_TRUE(narrow == wide);
    EXPECT_FALSE(narrow == u"abc\u00e8");
    EXPECT_FALSE(narrow == u"abc");

    EXPECT_EQ(narrow.substr(1, 2), u"bc");
    EXPECT_EQ(narrow.substr(3, 100), u"\u00e9"); // clipped at the end
    EXPECT_EQ(narrow.substr(9), u"");            // past the end
    std::u16string out = u">";
    wide.AppendTo(out, 2, 2);
    narrow.AppendTo(out, 0, 1);
    EXPECT_EQ(out, u">c\u00e9a");

    TDocText empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty, u"");
    EXPECT_EQ(empty.begin(), empty.end());
}

TEST(RunList, LengthsFollowFromTheNextStart) {
    TRunList runs;
    runs.push_back({0, 3, 2});
    runs.push_back({3, 4, 300}); // an index beyond a byte
    runs.ExtendLast(2);
    runs.push_back({9, 1, 0});
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0], (TRtfRun{0, 3, 2}));
    EXPECT_EQ(runs[1], (TRtfRun{3, 6, 300}));
    EXPECT_EQ(runs[2], (TRtfRun{9, 1, 0}));
    EXPECT_EQ(runs.back().Format, 0u);

    runs.ShortenLast(); // one character left: the run goes
    ASSERT_EQ(runs.size(), 2u);
    runs.ShortenLast();
    EXPECT_EQ(runs.back(), (TRtfRun{3, 5, 300}));

    const std::vector<TRtfRun> listed(runs.begin(), runs.end());
    EXPECT_EQ(listed, (std::vector<TRtfRun>{{0, 3, 2}, {3, 5, 300}}));
    TRunList same;
    same.push_back({0, 3, 2});
    same.push_back({3, 5, 300});
    EXPECT_TRUE(same == runs);
    same.ExtendLast(1);
    EXPECT_FALSE(same == runs);
}

TEST(RtfDocumentModel, AppendMergesRunsOfOneFormat) {
    TRtfDocument doc;
    doc.Append(u"ab", 1);
    doc.Append(u'c', 1);
    doc.Append(u"", 2); // nothing, and no run
    doc.Append(u'\u0416', 2);
    doc.Append(u"d", 1);
    EXPECT_EQ(doc.Text, u"abc\u0416d");
    const std::vector<TRtfRun> runs(doc.Runs.begin(), doc.Runs.end());
    EXPECT_EQ(runs, (std::vector<TRtfRun>{{0, 3, 1}, {3, 1, 2}, {4, 1, 1}}));
}

TEST(RtfDocumentModel, LineIndexIsTheSameInBothWidths) {
    TDocText narrow;
    narrow.append(u"ab\tc\n\nxyz\u2028q");
    TDocText wide;
    wide.push_back(u'\u4e2d');
    wide.pop_back();
    wide.append(u"ab\tc\n\nxyz\u2028q");
    const TFixedPitch pitch{8, 64};
    const TLineIndex a(narrow, pitch);
    const TLineIndex b(wide, pitch);
    const TLineIndex c(std::u16string_view(u"ab\tc\n\nxyz\u2028q"), pitch);
    ASSERT_EQ(a.Count(), 4u);
    for (std::size_t line = 0; line < a.Count(); ++line) {
        EXPECT_EQ(a.Start(line), c.Start(line));
        EXPECT_EQ(b.Start(line), c.Start(line));
        EXPECT_EQ(a.End(line), c.End(line));
    }
    EXPECT_EQ(a.Widest(), 72); // "ab" then a tab to 64, then "c"
    EXPECT_EQ(b.Widest(), 72);
}

TEST(DocumentBuffer, GrowsAndKeepsWhatWasWritten) {
    TDocumentBuffer buffer;
    EXPECT_EQ(buffer.Size(), 0u);
    EXPECT_TRUE(buffer.View().empty());
    std::string expected;
    // Past several growths, with pieces of awkward sizes.
    for (int i = 0; expected.size() < (5u << 20); ++i) {
        const std::string piece(static_cast<std::size_t>(i % 5000 + 1),
                                static_cast<char>('a' + i % 26));
        buffer.Write(piece);
        expected += piece;
    }
    buffer.Write(std::string(3u << 20, 'z')); // more than one growth at once
    expected += std::string(3u << 20, 'z');
    EXPECT_EQ(buffer.Size(), expected.size());
    EXPECT_TRUE(buffer.View() == expected);

    buffer.Clear();
    EXPECT_EQ(buffer.Size(), 0u);
    buffer.Write("again");
    EXPECT_EQ(buffer.View(), "again");
}

TEST(DocumentBuffer, ReleaseGivesBackOnlyWholePagesBeforeTheOffset) {
    TDocumentBuffer buffer;
    const std::string bytes(1u << 20, 'x');
    buffer.Write(bytes);
    buffer.Release(10000); // the page holding 10000 stays
    buffer.Release(5000);  // going back releases nothing more
    const std::string_view view = buffer.View();
    EXPECT_EQ(view.size(), bytes.size());
    EXPECT_EQ(view.find_first_not_of('x', 8192), std::string_view::npos);
    EXPECT_EQ(view.substr(0, 4096), std::string(4096, '\0')); // given back: zeros
    buffer.Release(bytes.size() * 2);                         // beyond the end: up to the end
    EXPECT_EQ(buffer.View().substr(bytes.size() - 4096), std::string(4096, '\0'));
}

std::string SampleRtf(std::size_t atLeast) {
    std::ifstream in(LUMIVANE_SAMPLE_FILE, std::ios::binary);
    std::ostringstream sample;
    sample << in.rdbuf();
    std::string source;
    while (source.size() < atLeast) {
        source += sample.str();
    }
    source += "// \u00e9t\u00e9 \u20ac\n"; // the text turns wide at its very end
    const auto file = std::filesystem::temp_directory_path() / "lumivane-model-test.pas";
    std::ofstream(file, std::ios::binary) << source;
    TStringSink rtf;
    ConvertFile(file.string(), rtf);
    std::filesystem::remove(file);
    return rtf.text;
}

TEST(DocumentBuffer, ReaderThatGivesBackWhatItPassedReadsTheSameDocument) {
    const std::string rtf = SampleRtf(3u << 20);
    const TRtfDocument expected = ReadRtf(rtf);
    ASSERT_TRUE(expected.Text.IsWide());

    TDocumentBuffer buffer;
    buffer.Write(rtf);
    std::vector<std::size_t> passed;
    const TRtfDocument doc = ReadRtf(buffer.View(), {}, [&](std::size_t offset) {
        passed.push_back(offset);
        buffer.Release(offset);
    });
    ASSERT_GT(passed.size(), 4u);
    EXPECT_TRUE(std::is_sorted(passed.begin(), passed.end()));
    EXPECT_LE(passed.back(), rtf.size());
    EXPECT_TRUE(doc.Text == expected.Text);
    EXPECT_TRUE(doc.Runs == expected.Runs);
    EXPECT_EQ(doc.Formats, expected.Formats);
    EXPECT_EQ(WriteRtf(doc), WriteRtf(expected));
}

} // namespace
