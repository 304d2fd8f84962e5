// The one atomic file writer, on real files, links and folders.
#include "platform/AtomicFile.h"

#include "tests/support/Files.h"

#include <chrono>
#include <csignal>
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
        // Unnamed while it is written, where the file system allows; named
        // after its writer otherwise.
        const std::string name = fs::path(file.TemporaryName()).filename().string();
        if (name.empty()) {
            EXPECT_EQ(CountEntries(dir_), 1u);
        } else {
            EXPECT_EQ(CountEntries(dir_), 2u);
            const std::string prefix = ".keep.rtf.tmp." + std::to_string(::getpid()) + ".";
            EXPECT_EQ(name.rfind(prefix, 0), 0u) << name;
            EXPECT_EQ(name.size(), prefix.size() + 6) << name;
        }
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

// A link in a shared folder (sticky, world-writable, as /tmp) is followed only
// when the caller or the folder's owner owns it; another's is refused before
// anything is written.
TEST_F(AtomicFileTest, InASharedFolderOnlyLinksOfTheCallerOrTheFolderOwnerAreFollowed) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "giving a link another owner needs root and the user \"nobody\"";
    }
    const fs::path victim = dir_ / "victim.conf";
    WriteAll(victim, "precious");
    const auto plant = [&](const fs::path& folder, const std::string& name, uid_t owner) {
        fs::create_symlink(victim, folder / name);
        EXPECT_EQ(::lchown((folder / name).c_str(), owner, owner == 0 ? 0 : nobody->pw_gid), 0);
        return folder / name;
    };
    const fs::path shared = dir_ / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);

    const fs::path planted = plant(shared, "report.rtf", nobody->pw_uid);
    try {
        WriteFileAtomically(planted, "{\\rtf1}");
        FAIL() << "another user's link in a shared folder was followed";
    } catch (const EAtomicFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  planted.string() + ": cannot write: the symbolic link " + planted.string() +
                      " belongs to another user in a shared folder (sticky and world-writable) "
                      "and is not followed");
    }
    EXPECT_THROW(TAtomicFile{planted}, EAtomicFileError);
    EXPECT_EQ(ReadAll(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(planted));
    EXPECT_EQ(CountEntries(shared), 1u);

    // The caller's own link, and one of the folder's owner, are followed.
    WriteFileAtomically(plant(shared, "own.rtf", 0), "own");
    EXPECT_EQ(ReadAll(victim), "own");
    const fs::path nobodys = dir_ / "nobodys";
    fs::create_directory(nobodys);
    ASSERT_EQ(::chmod(nobodys.c_str(), 01777), 0);
    ASSERT_EQ(::chown(nobodys.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    WriteFileAtomically(plant(nobodys, "theirs.rtf", nobody->pw_uid), "folder owner's");
    EXPECT_EQ(ReadAll(victim), "folder owner's");

    // Sticky alone, or world-writable alone, is no shared folder.
    for (const mode_t mode : {01755, 0777}) {
        const fs::path folder = dir_ / ("mode" + std::to_string(mode));
        fs::create_directory(folder);
        ASSERT_EQ(::chmod(folder.c_str(), mode), 0);
        WriteFileAtomically(plant(folder, "x.rtf", nobody->pw_uid), "mode " + std::to_string(mode));
        EXPECT_EQ(ReadAll(victim), "mode " + std::to_string(mode));
    }

    // A chain is refused wherever one link in it is another's in a shared folder.
    fs::create_symlink(planted, dir_ / "chain.rtf");
    EXPECT_THROW(WriteFileAtomically(dir_ / "chain.rtf", "x"), EAtomicFileError);
    EXPECT_EQ(ReadAll(victim), "mode 511");
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

// A temporary whose name carries its writer's process goes as soon as that
// process is gone, however young; a running writer's stays.
TEST_F(AtomicFileTest, TemporariesOfAWriterThatIsGoneGoAtOnce) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0); // reaped: no process has that number now
    const std::string gone = std::to_string(child);
    const std::string running = std::to_string(::getpid());
    const fs::path dead = dir_ / (".a.rtf.pas2rtf-tmp." + gone + ".Ab12Cd");
    const fs::path deadOtherTag = dir_ / (".a.rtf.tmp." + gone + ".Ab12Cd");
    const fs::path alive = dir_ / (".b.rtf.pas2rtf-tmp." + running + ".Xy34Zw");
    const fs::path dottedName = dir_ / (".c.tmp.7.pas2rtf-tmp." + gone + ".Qw12Er");
    for (const fs::path& file : {dead, deadOtherTag, alive, dottedName}) {
        WriteAll(file, "half");
    }
    EXPECT_EQ(RemoveStaleTemporaries(dir_, "pas2rtf-tmp", "c.tmp.7", std::chrono::hours(24)), 1);
    EXPECT_FALSE(fs::exists(dottedName));
    EXPECT_EQ(RemoveStaleTemporaries(dir_, "pas2rtf-tmp", "", std::chrono::hours(24)), 1);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(deadOtherTag));
    EXPECT_TRUE(fs::exists(alive));
}

// A writer killed in the middle of its file leaves nothing that the next
// writer into the folder does not clear away.
TEST_F(AtomicFileTest, AWriterKilledMidWriteLeavesNothingAfterTheNextWrite) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        TAtomicFile file(dir_ / "big.rtf", 0666, "pas2rtf-tmp");
        file.Write(std::string(1 << 20, 'x'));
        [[maybe_unused]] const ssize_t sent = ::write(ready[1], "w", 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char got = 0;
    ASSERT_EQ(::read(ready[0], &got, 1), 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    RemoveStaleTemporaries(dir_, "pas2rtf-tmp", "", std::chrono::hours(24));
    WriteFileAtomically(dir_ / "other.rtf", "next run", 0666, "pas2rtf-tmp");
    EXPECT_EQ(CountEntries(dir_), 1u);
    EXPECT_TRUE(fs::exists(dir_ / "other.rtf"));
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
