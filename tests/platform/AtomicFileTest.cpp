// The one atomic file writer, on real files, links and folders.
#include "platform/AtomicFile.h"

#include "tests/support/Files.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::lstat(file.c_str(), &info), 0) << file;
    return info.st_mode & 07777;
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumivane-atomic-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    fs::path dir_;
};

TEST_F(AtomicFileTest, CreatesAndReplacesLeavingNoTemporaryFile) {
    const fs::path target = dir_ / "out.rtf";
    WriteFileAtomically(target, "first");
    EXPECT_EQ(ReadAll(target), "first");
    const std::string large(1 << 20, 'x');
    WriteFileAtomically(target, large);
    EXPECT_EQ(ReadAll(target), large);
    WriteFileAtomically(target, "");
    EXPECT_EQ(ReadAll(target), "");
    EXPECT_EQ(CountEntries(dir_), 1u);
}

TEST_F(AtomicFileTest, ANewFileGetsTheModeLessTheUmaskAndAReplacementKeepsTheOldMode) {
    const mode_t old = ::umask(027);
    WriteFileAtomically(dir_ / "shared.rtf", "x", 0666);
    WriteFileAtomically(dir_ / "private.reg", "x", 0600);
    ::umask(old);
    EXPECT_EQ(ModeOf(dir_ / "shared.rtf"), 0640u);
    EXPECT_EQ(ModeOf(dir_ / "private.reg"), 0600u);

    ::chmod((dir_ / "shared.rtf").c_str(), 0604);
    WriteFileAtomically(dir_ / "shared.rtf", "y", 0600); // the new-file mode does not apply
    EXPECT_EQ(ModeOf(dir_ / "shared.rtf"), 0604u);
    EXPECT_EQ(ReadAll(dir_ / "shared.rtf"), "y");

    // Root replacing a user's file leaves it the user's.
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() == 0 && nobody != nullptr) {
        ASSERT_EQ(::chown((dir_ / "shared.rtf").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        WriteFileAtomically(dir_ / "shared.rtf", "z");
        struct stat info {};
        ASSERT_EQ(::stat((dir_ / "shared.rtf").c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, nobody->pw_uid);
        EXPECT_EQ(info.st_gid, nobody->pw_gid);
        EXPECT_EQ(info.st_mode & 07777, 0604u);
    }
}

TEST_F(AtomicFileTest, FailureKeepsTheOldFileAndRemovesTheTemporaryOne) {
    const fs::path folder = dir_ / "taken.rtf";
    fs::create_directory(folder);
    fs::create_directory(folder / "inside"); // a non-empty folder cannot be replaced
    try {
        WriteFileAtomically(folder, "text");
        FAIL() << "no error";
    } catch (const EAtomicFileError& e) {
        EXPECT_NE(std::string(e.what()).find(folder.string() + ": cannot write"), std::string::npos)
            << e.what();
    }
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
    EXPECT_EQ(CountEntries(dir_), 1u);

    // A FIFO, also through a link, stays what it is: renaming a file over it
    // would do the same to a device such as /dev/null.
    const fs::path fifo = dir_ / "pipe.rtf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("pipe.rtf", dir_ / "to-pipe.rtf");
    for (const fs::path& target : {fifo, dir_ / "to-pipe.rtf"}) {
        try {
            WriteFileAtomically(target, "text");
            FAIL() << "no error for " << target;
        } catch (const EAtomicFileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      target.string() + ": cannot write: not a regular file");
        }
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(CountEntries(dir_), 3u);

    const fs::path nowhere = dir_ / "missing" / "out.rtf";
    EXPECT_THROW(WriteFileAtomically(nowhere, "text"), EAtomicFileError);
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(AtomicFileTest, NothingIsCreatedBeforeTheFirstWriteAndAnUncommittedFileLeavesNoTrace) {
    const fs::path target = dir_ / "keep.rtf";
    WriteAll(target, "old");
    {
        TAtomicFile file(target);
        EXPECT_EQ(CountEntries(dir_), 1u);
        file.Write("new, but never committed");
        EXPECT_EQ(CountEntries(dir_), 2u);
        const std::string name = fs::path(file.TemporaryName()).filename().string();
        EXPECT_EQ(name.rfind(".keep.rtf.tmp.", 0), 0u) << name;
        EXPECT_EQ(name.size(), std::string(".keep.rtf.tmp.").size() + 6) << name;
    }
    {
        TAtomicFile file(dir_ / "missing" / "x.rtf"); // would fail on writing
    }
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(CountEntries(dir_), 1u);
}

TEST_F(AtomicFileTest, WritingThroughALinkReplacesTheFileItPointsTo) {
    fs::create_directory(dir_ / "real");
    WriteAll(dir_ / "real" / "doc.rtf", "old");
    fs::create_symlink("real/doc.rtf", dir_ / "relative.rtf");
    fs::create_symlink(dir_ / "relative.rtf", dir_ / "chain.rtf"); // absolute, to a link
    WriteFileAtomically(dir_ / "chain.rtf", "through two links");
    EXPECT_TRUE(fs::is_symlink(dir_ / "chain.rtf"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "relative.rtf"));
    EXPECT_EQ(ReadAll(dir_ / "real" / "doc.rtf"), "through two links");
    EXPECT_EQ(CountEntries(dir_ / "real"), 1u);
}

TEST_F(AtomicFileTest, ALinkToAMissingFileCreatesThatFile) {
    fs::create_directory(dir_ / "real");
    fs::create_symlink("real/new.rtf", dir_ / "relative.rtf");
    fs::create_symlink(dir_ / "real" / "other.rtf", dir_ / "absolute.rtf");
    WriteFileAtomically(dir_ / "relative.rtf", "one", 0600);
    WriteFileAtomically(dir_ / "absolute.rtf", "two");
    EXPECT_TRUE(fs::is_symlink(dir_ / "relative.rtf"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "absolute.rtf"));
    EXPECT_EQ(ReadAll(dir_ / "real" / "new.rtf"), "one");
    EXPECT_EQ(ReadAll(dir_ / "real" / "other.rtf"), "two");
    EXPECT_EQ(ModeOf(dir_ / "real" / "new.rtf"), 0600u);

    fs::create_symlink("loop-b", dir_ / "loop-a");
    fs::create_symlink("loop-a", dir_ / "loop-b");
    EXPECT_THROW(WriteFileAtomically(dir_ / "loop-a", "x"), EAtomicFileError);
    EXPECT_TRUE(fs::is_symlink(dir_ / "loop-a"));
}

TEST_F(AtomicFileTest, StaleTemporariesOfOneTagGoOnlyOnceOldEnough) {
    const auto age = [&](const fs::path& file, std::chrono::hours hours) {
        fs::last_write_time(file, fs::file_time_type::clock::now() - hours);
    };
    const fs::path old = dir_ / ".a.rtf.pas2rtf-tmp.Ab12Cd";
    const fs::path fresh = dir_ / ".b.rtf.pas2rtf-tmp.Xy34Zw";
    const fs::path otherTag = dir_ / ".a.rtf.tmp.Ab12Cd";
    const fs::path notOurs = dir_ / ".a.rtf.pas2rtf-tmp.Ab12C!";
    const fs::path aFolder = dir_ / ".c.rtf.pas2rtf-tmp.Qw12Er";
    for (const fs::path& file : {old, fresh, otherTag, notOurs}) {
        WriteAll(file, "half");
    }
    fs::create_directory(aFolder);
    for (const fs::path& file : {old, otherTag, notOurs, aFolder}) {
        age(file, std::chrono::hours(25));
    }
    age(fresh, std::chrono::hours(23));

    EXPECT_EQ(RemoveStaleTemporaries(dir_, "pas2rtf-tmp", "", std::chrono::hours(24)), 1);
    EXPECT_FALSE(fs::exists(old));
    for (const fs::path& file : {fresh, otherTag, notOurs, aFolder}) {
        EXPECT_TRUE(fs::exists(file)) << file;
    }
    // With a name, only that file's temporaries; with no minimum age, all of them.
    EXPECT_EQ(RemoveStaleTemporaries(dir_, "pas2rtf-tmp", "a.rtf", std::chrono::hours(0)), 0);
    EXPECT_EQ(RemoveStaleTemporaries(dir_, "pas2rtf-tmp", "b.rtf", std::chrono::hours(0)), 1);
    EXPECT_FALSE(fs::exists(fresh));
}

// Runs BODY in a child process as the unprivileged user "nobody"; the child's
// exit status is BODY's result. Skips when there is no such user.
template <typename Body> int AsNobody(Body body) {
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) {
            ::_exit(100);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

TEST_F(AtomicFileTest, AFolderThatCannotBeWrittenIsAnErrorAndTheOldFileStays) {
    if (::geteuid() != 0 && ::access(dir_.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "the temporary folder is not writable";
    }
    const fs::path folder = dir_ / "readonly";
    fs::create_directory(folder);
    WriteAll(folder / "doc.rtf", "old");
    ::chmod((folder / "doc.rtf").c_str(), 0666); // the file could be written in place
    ::chmod(folder.c_str(), 0755);
    ::chmod(dir_.c_str(), 0755);
    const auto write = [&] {
        try {
            WriteFileAtomically(folder / "doc.rtf", "new");
        } catch (const EAtomicFileError& e) {
            const std::string message = e.what();
            return message.find((folder / "doc.rtf").string()) != std::string::npos &&
                           message.find("Permission denied") != std::string::npos
                       ? 0
                       : 2;
        }
        return 1;
    };
    int result = 0;
    if (::geteuid() == 0) {
        result = AsNobody(write);
        if (result == -1) {
            GTEST_SKIP() << "running as root and there is no user \"nobody\" to drop to";
        }
    } else {
        ::chmod(folder.c_str(), 0555);
        result = write();
    }
    EXPECT_EQ(result, 0) << "1: no error, 2: the message lacks the file or the cause";
    EXPECT_EQ(ReadAll(folder / "doc.rtf"), "old");
    EXPECT_EQ(CountEntries(folder), 1u);
}

} // namespace
