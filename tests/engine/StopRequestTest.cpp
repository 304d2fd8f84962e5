// Stopping a conversion under way: how often it is asked, what a stop leaves
// behind, and that a request that never comes changes nothing.

#include "engine/PascalParser.h"
#include "tests/engine/EngineTestSupport.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kAskEvery = 64 * 1024; // the promise: at least this often

// Source with tokens of every kind, about SIZE bytes.
std::string SourceOfSize(std::size_t size) {
    const std::string block = "procedure P; { comment } var S: string; begin S := 'text'; "
                              "X := $FF + 12.5e3; (* more *) // line\r\n end;\r\n";
    std::string source;
    source.reserve(size + block.size());
    while (source.size() < size) {
        source += block;
    }
    return source;
}

// Counts the bytes handed over between two questions of the stop request.
struct TWatchedSink : TByteSink {
    std::string text;
    std::size_t sinceAsked = 0;
    std::size_t longestUnasked = 0;
    void Write(std::string_view bytes) override {
        text.append(bytes);
        sinceAsked += bytes.size();
        longestUnasked = std::max(longestUnasked, sinceAsked);
    }
};

class StopRequestTest : public ::testing::Test {
protected:
    void SetUp() override { ResetColorsAndStore(); }
    TTempDir dir_;
};

TEST_F(StopRequestTest, AStopThatNeverComesChangesNothingAndIsAskedOftenEnough) {
    // Below and above the size at which the conversion is split over two threads.
    for (const std::size_t size : {std::size_t{600} * 1024, std::size_t{4} * 1024 * 1024}) {
        const std::string file = dir_.WriteFile("u.pas", SourceOfSize(size));
        TMemoryStream plain;
        ConvertFile(file, plain);

        std::atomic<std::size_t> asked = 0;
        TMemoryStream watched;
        ConvertFile(file, watched, [&] {
            ++asked;
            return false;
        });
        EXPECT_EQ(watched.View(), plain.View()) << size;
        EXPECT_EQ(watched.Position(), 0u);
        EXPECT_GE(asked.load(), plain.Size() / kAskEvery) << size;
    }
}

TEST_F(StopRequestTest, NoMoreThan64KilobytesOfDocumentGoOutUnasked) {
    const std::string file = dir_.WriteFile("u.pas", SourceOfSize(900 * 1024));
    TWatchedSink sink;
    ConvertFile(file, sink, [&] {
        sink.sinceAsked = 0;
        return false;
    });
    EXPECT_GT(sink.text.size(), 900u * 1024);
    EXPECT_LE(sink.longestUnasked, kAskEvery);
}

TEST_F(StopRequestTest, AStopAtTheStartReadsNothingAndWritesNothing) {
    const std::string file = dir_.WriteFile("u.pas", "begin end.");
    TMemoryStream out;
    int asked = 0;
    EXPECT_THROW(ConvertFile(file, out,
                             [&] {
                                 ++asked;
                                 return true;
                             }),
                 EConversionCancelled);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(out.Size(), 0u);
    // The extension test still comes first.
    EXPECT_THROW(ConvertFile(dir_.WriteFile("u.txt", "x"), out, [] { return true; }),
                 std::runtime_error);
}

// The request arrives while the document is being written, as it does from
// the GUI thread: the conversion ends at the next question, long before its end.
TEST_F(StopRequestTest, AStopDuringTheConversionEndsItAtTheNextQuestion) {
    for (const std::size_t size : {std::size_t{800} * 1024, std::size_t{8} * 1024 * 1024}) {
        const std::string file = dir_.WriteFile("u.pas", SourceOfSize(size));
        std::atomic<bool> stop = false;
        struct TStoppingSink : TByteSink {
            std::atomic<bool>* stop;
            std::size_t written = 0;
            void Write(std::string_view bytes) override {
                written += bytes.size();
                *stop = true; // asked for as soon as the first bytes arrive
            }
        } sink;
        sink.stop = &stop;
        EXPECT_THROW(ConvertFileAsPascal(file, sink, [&] { return stop.load(); }),
                     EConversionCancelled)
            << size;
        EXPECT_GT(sink.written, 0u);
        EXPECT_LE(sink.written, kAskEvery) << size; // the first hand-over only
    }
}

TEST_F(StopRequestTest, ACancelledConversionLeavesTheNextOneWhole) {
    const std::string file = dir_.WriteFile("u.pas", SourceOfSize(300 * 1024));
    int asked = 0;
    TMemoryStream cancelled;
    EXPECT_THROW(ConvertFile(file, cancelled, [&] { return ++asked == 3; }), EConversionCancelled);
    TMemoryStream whole;
    ConvertFile(file, whole);
    TMemoryStream again;
    ConvertFile(file, again, [] { return false; });
    EXPECT_EQ(again.View(), whole.View());
    EXPECT_TRUE(whole.View().ends_with(TPascalParser::kTrailer));
    EXPECT_FALSE(cancelled.View().ends_with(TPascalParser::kTrailer));
}

} // namespace
