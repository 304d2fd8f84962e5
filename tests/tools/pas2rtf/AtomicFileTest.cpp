#include "tools/pas2rtf/AtomicFile.h"

#include "tests/engine/EngineTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

TEST(AtomicFileTest, CreatesAndReplacesLeavingNoTemporaryFile) {
    TTempDir dir;
    const std::string target = (dir.Path() / "out.rtf").string();
    WriteFileAtomically(target, "first");
    EXPECT_EQ(ReadAll(target), "first");
    WriteFileAtomically(target, std::string(1 << 20, 'x'));
    EXPECT_EQ(ReadAll(target), std::string(1 << 20, 'x'));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

TEST(AtomicFileTest, FailureKeepsTheOldFileAndRemovesTheTemporaryOne) {
    TTempDir dir;
    const fs::path folder = dir.Path() / "taken.rtf";
    fs::create_directory(folder);
    fs::create_directory(folder / "inside"); // a non-empty folder cannot be replaced
    try {
        WriteFileAtomically(folder.string(), "text");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(folder.string()), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

    const std::string nowhere = (dir.Path() / "missing" / "out.rtf").string();
    EXPECT_THROW(WriteFileAtomically(nowhere, "text"), std::runtime_error);
}

TEST(AtomicFileTest, NothingIsCreatedBeforeTheFirstWrite) {
    TTempDir dir;
    const std::string target = dir.WriteFile("keep.rtf", "old");
    {
        TAtomicFile file(target);
        file.Write("new, but never committed");
    }
    {
        TAtomicFile file((dir.Path() / "missing" / "x.rtf").string()); // would fail on writing
    }
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

} // namespace
