// Real Pascal through the engine and the view's reader: the text shown is the
// source with CR removed and its bytes as UTF-8 when all of them are, else as
// Windows-1252; the styles are the
// engine's. Uses the sample file, and the installed Free Pascal sources when present.

#include "engine/PascalParser.h"
#include "tests/viewer/text/RtfTestSupport.h"
#include "viewer/text/CodePage.h"
#include "viewer/text/RtfReader.h"
#include "viewer/text/RtfWriter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::u16string ExpectedText(std::string source) {
    std::erase(source, '\r');
    std::erase(source, '\0');
    std::u16string text;
    return DecodeUtf8(source, text) ? text : DecodeWindows1252(source);
}

TRtfDocument Convert(const std::string& fileName) {
    TMemoryStream stream;
    ConvertFile(fileName, stream);
    return ReadRtf(stream.View());
}

void ExpectShownAsSource(const std::filesystem::path& file) {
    const TRtfDocument doc = Convert(file.string());
    const std::u16string expected = ExpectedText(ReadBytes(file));
    ASSERT_EQ(doc.Text.size(), expected.size()) << file;
    const auto mismatch = std::mismatch(doc.Text.begin(), doc.Text.end(), expected.begin());
    ASSERT_TRUE(mismatch.first == doc.Text.end())
        << file << ": first difference at character " << (mismatch.first - doc.Text.begin());
    for (const TRtfCharFormat& format : doc.Formats) {
        ASSERT_GE(format.Font, 0) << file;
        EXPECT_EQ(doc.Fonts[format.Font].Name, "Courier New");
        EXPECT_TRUE(doc.Fonts[format.Font].FixedPitch);
        EXPECT_EQ(format.SizeHalfPoints, 18);
        EXPECT_NE(format.Color, kNoColor);
    }
}

TEST(EngineRoundTrip, SampleFileShowsAsItsSource) {
    ExpectShownAsSource(LUMIVANE_SAMPLE_FILE);
}

TEST(EngineRoundTrip, SampleFileStylesAndWriterRoundTrip) {
    const TRtfDocument doc = Convert(LUMIVANE_SAMPLE_FILE);
    bool boldKeyword = false, italicComment = false;
    for (const TRtfRun& run : doc.Runs) {
        const TRtfCharFormat& f = doc.Formats[run.Format];
        const std::u16string text = doc.Text.substr(run.Start, run.Length);
        if (f.Bold && text.starts_with(u"begin")) {
            boldKeyword = true;
        }
        if (f.Italic && f.Color == RgbColor(0x00, 0x00, 0x80) &&
            (text.starts_with(u"{") || text.starts_with(u"//"))) {
            italicComment = true;
        }
    }
    EXPECT_TRUE(boldKeyword);
    EXPECT_TRUE(italicComment);
    const TRtfDocument back = ReadRtf(WriteRtf(doc));
    EXPECT_EQ(back.Text, doc.Text);
    EXPECT_EQ(back.Runs, doc.Runs);
}

TEST(EngineRoundTrip, SourcesWithOddBytes) {
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("lumivane-roundtrip-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const std::string sources[] = {
        "",
        "\n",
        "unit a;\r\n{ \\ { } }\r\n'it''s' // x\\y\r\nasm mov ax, {c} 1 end;\r\n",
        "s := 'caf\xe9 \x80 \x81 \xff';\n(* \\{} *)\n#13#10 $FF 12.5e3\n'cut\n",
        "// last line without LF",
        "x\ry\rz",
        "\ta\tb\f\x01\x7f",
    };
    int n = 0;
    for (const std::string& source : sources) {
        const auto file = dir / ("case" + std::to_string(n++) + ".pas");
        std::ofstream(file, std::ios::binary) << source;
        ExpectShownAsSource(file);
    }
    std::filesystem::remove_all(dir);
}

// A source saved with a byte order mark shows without it, coloured as
// without it, and is read as UTF-8 even where some of its bytes are not.
TEST(EngineRoundTrip, ByteOrderMarkIsNotShown) {
    TPascalParser parser;
    TMemoryStream stream;
    parser.ConvertSource("\xef\xbb\xbfunit caf\xc3\xa9; // \xe9\n", stream);
    const TRtfDocument doc = ReadRtf(stream.View());
    EXPECT_EQ(doc.Text, u"unit caf\u00e9; // \u00e9\n");
    ASSERT_FALSE(doc.Text.empty());
    EXPECT_TRUE(FormatAt(doc, 0).Bold); // "unit" is still the keyword
}

TEST(EngineRoundTrip, FreePascalSources) {
    const std::filesystem::path root = "/usr/share/fpcsrc";
    if (!std::filesystem::is_directory(root)) {
        GTEST_SKIP() << "Free Pascal sources not installed (scripts/setup.sh --bench)";
    }
    int converted = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (converted >= 400) {
            break;
        }
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".pas" || ext == ".inc")) {
            ExpectShownAsSource(entry.path());
            ++converted;
        }
    }
    EXPECT_GT(converted, 0);
}

} // namespace
