#include "engine/MemoryStream.h"

#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryStreamTest, WritesGrowAndOverwriteAtThePosition) {
    TMemoryStream stream;
    stream.Write("hello world");
    EXPECT_EQ(stream.Position(), 11u);
    stream.SetPosition(6);
    stream.Write("there, all");
    EXPECT_EQ(stream.View(), "hello there, all");
    stream.SetPosition(0);
    stream.Write("J");
    EXPECT_EQ(stream.View(), "Jello there, all");
    EXPECT_EQ(stream.Position(), 1u);
    stream.SetPosition(18);
    stream.Write("!");
    EXPECT_EQ(stream.View(), std::string_view("Jello there, all\0\0!", 19));
    stream.Write(nullptr, 0);
    EXPECT_EQ(stream.Size(), 19u);
}

TEST(MemoryStreamTest, GrowsPastAnyReservation) {
    TMemoryStream stream;
    stream.Reserve(4);
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        const std::string piece = std::to_string(i) + ",";
        stream.Write(piece);
        expected += piece;
    }
    EXPECT_EQ(stream.View(), expected);
    stream.Reserve(2); // never shrinks
    EXPECT_EQ(stream.View(), expected);
    stream.Clear();
    stream.Write("again");
    EXPECT_EQ(stream.View(), "again");
}

TEST(MemoryStreamTest, ReadsStopAtTheEnd) {
    TMemoryStream stream;
    stream.Write("abc");
    stream.SetPosition(1);
    char buffer[8] = {};
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 2u);
    EXPECT_EQ(std::string_view(buffer, 2), "bc");
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    stream.SetPosition(10);
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_EQ(stream.Position(), 0u);
}

TEST(MemoryStreamTest, LoadsAWholeFile) {
    TTempDir dir;
    std::string content(200000, 'x');
    content[0] = '\0';
    content.back() = '\xff';
    TMemoryStream stream;
    stream.Write("old");
    stream.LoadFromFile(dir.WriteFile("big.pas", content));
    EXPECT_EQ(stream.View(), content);
    EXPECT_EQ(stream.Position(), 0u);
}

TEST(MemoryStreamTest, LoadsAFileThatReportsNoSize) {
    TMemoryStream stream;
    stream.LoadFromFile("/proc/self/status"); // size 0 in its status, content all the same
    EXPECT_NE(stream.View().find("Name:"), std::string_view::npos);
    EXPECT_TRUE(stream.View().ends_with("\n"));
}

TEST(MemoryStreamTest, LoadFailureNamesTheFileAndKeepsTheContent) {
    TTempDir dir;
    TMemoryStream stream;
    stream.Write("old");
    const std::string missing = (dir.Path() / "none.pas").string();
    try {
        stream.LoadFromFile(missing);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + missing + "\": No such file or directory");
    }
    EXPECT_THROW(stream.LoadFromFile(dir.Path().string()), std::runtime_error);
    EXPECT_EQ(stream.View(), "old");
}

} // namespace
