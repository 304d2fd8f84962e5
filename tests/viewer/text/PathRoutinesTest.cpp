// Path shortening for the status bar and long-name expansion.

#include "viewer/text/PathRoutines.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// One pixel per character; records every text measured.
struct TRecordingWidth {
    std::vector<std::string> Measured;
    TextWidthFn Fn() {
        return [this](const std::string& text) {
            Measured.push_back(text);
            return static_cast<int>(text.size());
        };
    }
};

int CharWidth(const std::string& text) {
    return static_cast<int>(text.size());
}

TEST(ShortenPathToWidth, WorkedExampleStepByStep) {
    TRecordingWidth width;
    EXPECT_EQ(ShortenPathToWidth("C:\\src\\lib\\units\\main.pas", width.Fn(), 0), "main.pas");
    const std::vector<std::string> expected = {
        "C:\\src\\lib\\units\\main.pas",
        "C:\\...\\lib\\units\\main.pas",
        "C:\\...\\units\\main.pas",
        "C:\\...\\main.pas",
        "...\\main.pas",
    };
    EXPECT_EQ(width.Measured, expected); // the bare name is returned without measuring
}

TEST(ShortenPathToWidth, StopsAsSoonAsAResultFits) {
    const std::string path = "C:\\src\\lib\\units\\main.pas";
    EXPECT_EQ(ShortenPathToWidth(path, CharWidth, 999), path);
    EXPECT_EQ(ShortenPathToWidth(path, CharWidth, static_cast<int>(path.size())), path);
    // "\src\" and "\...\" are equally wide: the first pass gains nothing.
    EXPECT_EQ(ShortenPathToWidth(path, CharWidth, static_cast<int>(path.size()) - 1),
              "C:\\...\\units\\main.pas");
    EXPECT_EQ(ShortenPathToWidth(path, CharWidth, 21), "C:\\...\\units\\main.pas");
    EXPECT_EQ(ShortenPathToWidth(path, CharWidth, 13), "...\\main.pas");
    EXPECT_EQ(ShortenPathToWidth(path, CharWidth, -100), "main.pas");
}

TEST(ShortenPathToWidth, NamesRelativePathsAndEmpty) {
    EXPECT_EQ(ShortenPathToWidth("averyveryverylongname.pas", CharWidth, 3),
              "averyveryverylongname.pas");
    EXPECT_EQ(ShortenPathToWidth("dirx\\f.pas", CharWidth, 9), "...\\f.pas");
    EXPECT_EQ(ShortenPathToWidth("dirx\\f.pas", CharWidth, 8), "f.pas");
    EXPECT_EQ(ShortenPathToWidth("dir\\f.pas", CharWidth, 9), "dir\\f.pas");
    TRecordingWidth width;
    EXPECT_EQ(ShortenPathToWidth("", width.Fn(), -1), "");
    EXPECT_TRUE(width.Measured.empty());
    EXPECT_EQ(ShortenPathToWidth("C:", CharWidth, 1), "");
    EXPECT_EQ(ShortenPathToWidth("C:f.pas", CharWidth, 6), "f.pas");
}

TEST(ShortenPathToWidth, NetworkPathLosesTheEmptyComponentFirst) {
    TRecordingWidth width;
    ShortenPathToWidth("\\\\server\\share\\dir\\f.pas", width.Fn(), 0);
    ASSERT_GE(width.Measured.size(), 3u);
    EXPECT_EQ(width.Measured[1], "\\...\\server\\share\\dir\\f.pas");
    EXPECT_EQ(width.Measured[2], "\\...\\share\\dir\\f.pas");
    EXPECT_EQ(width.Measured.back(), "...\\f.pas");
}

TEST(ShortenPathToWidth, DotFolderLosesFourCharacters) {
    TRecordingWidth width;
    EXPECT_EQ(ShortenPathToWidth("..\\src\\f.pas", width.Fn(), 0), "f.pas");
    ASSERT_EQ(width.Measured.size(), 2u);
    EXPECT_EQ(width.Measured[1], "...\\f.pas");
}

TEST(ShortenPathToWidth, NativePathsShortenWithSlashMarks) {
    TRecordingWidth width;
    EXPECT_EQ(ShortenPathToWidth("/home/u/src/f.pas", width.Fn(), 0), "f.pas");
    const std::vector<std::string> expected = {
        "/home/u/src/f.pas", "/.../u/src/f.pas", "/.../src/f.pas", "/.../f.pas", ".../f.pas",
    };
    EXPECT_EQ(width.Measured, expected);
    // A colon is an ordinary character in a native name.
    EXPECT_EQ(ShortenPathToWidth("/a/b:c.pas", CharWidth, 0), "b:c.pas");
}

TEST(DropFirstFolder, Cases) {
    auto drop = [](std::string folder) {
        DropFirstFolder(folder);
        return folder;
    };
    EXPECT_EQ(drop("\\"), "");
    EXPECT_EQ(drop("\\a\\b\\"), "\\...\\b\\");
    EXPECT_EQ(drop("\\...\\b\\c\\"), "\\...\\c\\");
    EXPECT_EQ(drop("a\\"), "...\\");
    EXPECT_EQ(drop("a\\b\\"), "...\\b\\");
    EXPECT_EQ(drop("...\\b\\c\\"), "...\\c\\");
    EXPECT_EQ(drop("...\\"), "");
    EXPECT_EQ(drop(".x"), "");
    EXPECT_EQ(drop(""), "");
    EXPECT_EQ(drop("/"), "");
    EXPECT_EQ(drop("/a/b/"), "/.../b/");
}

class ExpandLongPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            ("lumivane-paths-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_ / "Sub Dir");
        std::ofstream(dir_ / "Sub Dir" / "Unit1.PAS") << "unit Unit1;";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Dir() const { return dir_.string(); }
    std::filesystem::path dir_;
};

TEST_F(ExpandLongPathTest, ExistingComponentsComeBackAsStored) {
    const std::string path = Dir() + "/Sub Dir/Unit1.PAS";
    EXPECT_EQ(ExpandLongPath(path), path);
    EXPECT_EQ(LongNameOf(path), "Unit1.PAS");
    EXPECT_EQ(LongNameOf(Dir() + "/Sub Dir"), "Sub Dir");
}

TEST_F(ExpandLongPathTest, MissingComponentsComeBackEmpty) {
    EXPECT_EQ(ExpandLongPath(Dir() + "/Sub Dir/gone.pas"), Dir() + "/Sub Dir/");
    EXPECT_EQ(ExpandLongPath(Dir() + "/gone/f.pas"), Dir() + "//");
    EXPECT_EQ(LongNameOf(Dir() + "/gone.pas"), "");
    EXPECT_EQ(LongNameOf(Dir() + "/"), "");
    // Other case does not name the stored file on this file system.
    EXPECT_EQ(LongNameOf(Dir() + "/Sub Dir/unit1.pas"), "");
}

TEST_F(ExpandLongPathTest, PathWithoutSeparatorIsUnchanged) {
    EXPECT_EQ(ExpandLongPath("gone.pas"), "gone.pas");
    EXPECT_EQ(ExpandLongPath(""), "");
    // The head before the first separator stays as it is.
    EXPECT_EQ(ExpandLongPath("C:\\gone\\f.pas"), "C:\\\\");
}

} // namespace
