// Large documents are read and written in pieces, on as many threads as a
// run is given: the bytes are those of the whole document read by the
// general reader and written at once, and a sink that fails ends the run
// with its error rather than leaving threads waiting.

#include "engine/ByteSink.h"
#include "engine/ColorScheme.h"
#include "platform/Color.h"
#include "tests/engine/EngineTestSupport.h"
#include "tools/pas2rtf/FormatDispatch.h"
#include "viewer/text/AnsiWriter.h"
#include "viewer/text/HtmlWriter.h"
#include "viewer/text/RtfReader.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using TFormat = TPas2RtfCommand::TFormat;

class LargeDocumentTest : public ::testing::Test {
protected:
    void SetUp() override { ResetColorsAndStore(); }
    void TearDown() override { ResetColorsAndStore(); }
};

// About 5 MB of source, so several pieces: comments and strings over lines,
// the characters HTML escapes, tabs, and a line with no end at the very end.
const std::string& LargeDocument() {
    static const std::string doc = [] {
        std::string source;
        for (int i = 0; i < 50000; ++i) {
            source += "procedure P" + std::to_string(i) + ";\t{ a < b & \"c\"\n  > d }\n" +
                      "begin s := 'x\\y'#9; if a<b then asm mov ax, 1 end; end; // <&>\n";
        }
        source += "end.";
        return Document(source);
    }();
    return doc;
}

class TCountingSink : public TByteSink {
public:
    void Write(std::string_view bytes) override {
        Bytes.append(bytes);
        ++Writes;
    }
    std::string Bytes;
    std::size_t Writes = 0;
};

// Fails at its FAILAT-th write, as a full disk would.
class TFullDiskSink : public TByteSink {
public:
    explicit TFullDiskSink(std::size_t failAt) : left_(failAt) {}
    void Write(std::string_view) override {
        if (--left_ == 0) {
            throw std::runtime_error("No space left on device");
        }
    }

private:
    std::size_t left_;
};

// What the writer of COMMAND's format makes of the whole model WHOLE, with
// the options pas2rtf gives it.
std::string WrittenWhole(const TRtfDocument& whole, const TPas2RtfCommand& command) {
    TWriterOptions options;
    options.LineNumbers = command.LineNumbers;
    options.FirstLineNumber = command.FirstLineNumber;
    options.TextColor = ColorToRGB(ColorSlots[0].Color);
    options.Background = ColorToRGB(ColorSlots[1].Color);
    options.Title = "big.pas";
    return command.Format == TFormat::Html ? WriteHtml(whole, options) : WriteAnsi(whole, options);
}

TEST_F(LargeDocumentTest, PiecesOnAnyNumberOfThreadsMakeTheWholeDocumentsBytes) {
    const std::string& doc = LargeDocument();
    ASSERT_GT(doc.size(), 4u << 20);
    const TRtfDocument whole = ReadRtf(doc);
    for (const TFormat format : {TFormat::Html, TFormat::Ansi}) {
        for (const bool numbered : {false, true}) {
            TPas2RtfCommand command;
            command.Format = format;
            command.LineNumbers = numbered;
            command.FirstLineNumber = 99990; // the width grows within the document
            const std::string expected = WrittenWhole(whole, command);
            for (const unsigned threads : {1u, 2u, 3u}) {
                TCountingSink sink;
                WriteDocumentAs(doc, command, "big.pas", sink, threads);
                EXPECT_TRUE(sink.Bytes == expected)
                    << "threads " << threads << ", numbered " << numbered << ", "
                    << sink.Bytes.size() << " bytes for " << expected.size();
                EXPECT_GE(sink.Writes, 4u) << "written whole rather than in pieces";
            }
        }
    }
}

TEST_F(LargeDocumentTest, APartOfAnotherProgramsMakingIsReadWithTheRestByTheGeneralReader) {
    // Underlining is none of the engine's: the part that holds it cannot be
    // read as the engine's, the parts before it can.
    for (const double at : {0.0, 0.75}) {
        std::string doc = LargeDocument();
        const std::size_t line = doc.find("\\par ", static_cast<std::size_t>(at * doc.size()));
        ASSERT_NE(line, std::string::npos);
        doc.insert(line + 5, "{\\ul underlined}");
        const TRtfDocument whole = ReadRtf(doc);
        for (const TFormat format : {TFormat::Html, TFormat::Ansi}) {
            TPas2RtfCommand command;
            command.Format = format;
            const std::string expected = WrittenWhole(whole, command);
            for (const unsigned threads : {1u, 2u, 3u}) {
                TCountingSink sink;
                WriteDocumentAs(doc, command, "big.pas", sink, threads);
                EXPECT_TRUE(sink.Bytes == expected)
                    << "at " << at << ", threads " << threads << ", " << sink.Bytes.size()
                    << " bytes for " << expected.size();
            }
        }
    }
}

TEST_F(LargeDocumentTest, AFailingSinkEndsTheRunWithItsError) {
    for (const TFormat format : {TFormat::Html, TFormat::Ansi}) {
        TPas2RtfCommand command;
        command.Format = format;
        for (const unsigned threads : {1u, 2u, 3u}) {
            for (const std::size_t failAt : {1u, 3u}) {
                TFullDiskSink sink(failAt);
                try {
                    WriteDocumentAs(LargeDocument(), command, "big.pas", sink, threads);
                    ADD_FAILURE() << "no error with " << threads << " threads";
                } catch (const std::runtime_error& error) {
                    EXPECT_STREQ(error.what(), "No space left on device");
                }
            }
        }
    }
}

} // namespace
