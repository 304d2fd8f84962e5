#include "engine/MemoryStream.h"

#include "tests/engine/EngineTestSupport.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The message LoadFromFile gives for FILE ("" when it loads).
std::string LoadError(TMemoryStream& stream, const std::string& file) {
    try {
        stream.LoadFromFile(file);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

TEST(MemoryStreamTest, DevicesAndFifosAreRefusedAtOnce) {
    TTempDir dir;
    const std::filesystem::path zero = dir.Path() / "z.pas";
    std::filesystem::create_symlink("/dev/zero", zero); // would never end
    TMemoryStream stream;
    stream.Write("old");
    for (const std::string& file : {zero.string(), std::string("/dev/null")}) {
        EXPECT_EQ(LoadError(stream, file), "Cannot open file \"" + file + "\": not a regular file");
    }

    // Opening a FIFO for reading waits for a writer; it must not even get that far.
    const std::string fifo = (dir.Path() / "f.pas").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto load = std::async(std::launch::async, [&] { return LoadError(stream, fifo); });
    if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ::close(::open(fifo.c_str(), O_WRONLY)); // lets the reader go
        FAIL() << "reading a FIFO waited for a writer";
    }
    EXPECT_EQ(load.get(), "Cannot open file \"" + fifo + "\": not a regular file");
    EXPECT_EQ(stream.View(), "old");
}

TEST(MemoryStreamTest, AFileBeyondTheMaximumIsRefused) {
    // The maximum must let a 1 GB source through.
    static_assert(TMemoryStream::kMaxFileSize >= 1'000'000'000);
    TTempDir dir;
    const std::string large = (dir.Path() / "large.pas").string();
    std::filesystem::resize_file(dir.WriteFile("large.pas", ""), TMemoryStream::kMaxFileSize + 1);
    TMemoryStream stream;
    stream.Write("old");
    EXPECT_EQ(LoadError(stream, large),
              "Cannot read file \"" + large + "\": larger than the maximum of 2 GiB");
    EXPECT_EQ(stream.View(), "old");
}

} // namespace
