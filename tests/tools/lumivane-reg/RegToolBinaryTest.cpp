// The built lumivane-reg program: exit status, streams, no hang without input,
// and two copies writing at once.
#include "platform/Registry.h"
#include "tests/platform/TempStore.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using ::testing::HasSubstr;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

class RegToolBinaryTest : public TempStoreTest {
protected:
    // Runs the program with stdin from /dev/null; stdout and stderr are captured.
    Result Run(const std::vector<std::string>& args) {
        const auto outFile = dir_ / "stdout";
        const auto errFile = dir_ / "stderr";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(::open("/dev/null", O_RDONLY), 0);
            ::dup2(::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            ::dup2(::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            std::vector<char*> argv{const_cast<char*>(LUMIVANE_REG_BINARY)};
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(LUMIVANE_REG_BINARY, argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(outFile), ReadFile(errFile)};
    }
};

} // namespace

TEST_F(RegToolBinaryTest, ExitStatusAndStreams) {
    Result result = Run({"add", "HKCU\\Software\\QD\\Lumivane", "/f"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "The operation completed successfully.\n");
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(TRegistry().KeyExists("Software\\QD\\Lumivane")); // in $LUMIVANE_REGISTRY

    result = Run({"query", "HKCU\\Nope"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, HasSubstr("ERROR: "));

    result = Run({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.out, HasSubstr("Usage: lumivane-reg"));
}

TEST_F(RegToolBinaryTest, AQuestionWithoutInputIsAnsweredNoWithoutWaiting) {
    Run({"add", "HKCU\\A", "/v", "V", "/d", "old"});
    const Result result = Run({"delete", "HKCU\\A"});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("taken as No"));
    EXPECT_TRUE(TRegistry().KeyExists("A"));
}

TEST_F(RegToolBinaryTest, TwoCopiesAddingAtOnceKeepAllTheirValues) {
    constexpr int kAdds = 12;
    const auto loop = [&](const std::string& prefix) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0; i < kAdds; ++i) {
                if (Run({"add", "HKCU\\Race", "/v", prefix + std::to_string(i), "/d", "x"})
                        .status != 0) {
                    ::_exit(1);
                }
            }
            ::_exit(0);
        }
        return pid;
    };
    // Each loop captures its output in its own folder.
    const auto original = dir_;
    dir_ = original / "a";
    std::filesystem::create_directories(dir_);
    const pid_t first = loop("A");
    dir_ = original / "b";
    std::filesystem::create_directories(dir_);
    const pid_t second = loop("B");
    dir_ = original;
    int firstStatus = 0, secondStatus = 0;
    ::waitpid(first, &firstStatus, 0);
    ::waitpid(second, &secondStatus, 0);
    EXPECT_EQ(firstStatus, 0);
    EXPECT_EQ(secondStatus, 0);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Race", false));
    EXPECT_EQ(registry.GetValueNames().size(), 2u * kAdds);
}

// A store the user made read-only is not rewritten, also not by root.
TEST_F(RegToolBinaryTest, AReadOnlyStoreIsRefusedAndLeftAsItIs) {
    ASSERT_EQ(Run({"add", "HKCU\\Software\\QD\\Lumivane", "/f"}).status, 0);
    const std::string stored = ReadFile(store_);
    ASSERT_EQ(::chmod(store_.c_str(), 0444), 0);
    const Result result = Run(
        {"add", "HKCU\\Software\\QD\\Lumivane\\Pascal", "/v", "clString", "/d", "clBlue", "/f"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "ERROR: " + store_.string() + ": cannot write: the file is read-only\n");
    EXPECT_EQ(ReadFile(store_), stored);
    struct stat info {};
    ASSERT_EQ(::stat(store_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    // Reading still works, and a change that changes nothing writes nothing.
    EXPECT_EQ(Run({"query", "HKCU\\Software\\QD\\Lumivane"}).status, 0);
    EXPECT_EQ(Run({"add", "HKCU\\Software\\QD\\Lumivane", "/f"}).status, 0);
}

// Export into a sticky, world-writable folder does not follow another user's
// link there; and an export killed while writing leaves nothing that the next
// export into the folder does not remove.
TEST_F(RegToolBinaryTest, ExportIntoASharedFolder) {
    ASSERT_EQ(Run({"add", "HKCU\\A", "/v", "V", "/d", "x"}).status, 0);
    const std::filesystem::path shared = dir_ / "shared";
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);

    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const auto leftover =
        shared / (".old.reg.lumivane-reg-tmp." + std::to_string(gone) + ".Ab12Cd");
    WriteFile(leftover, "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n");
    EXPECT_EQ(Run({"export", "HKCU\\A", (shared / "a.reg").string(), "/y"}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(shared),
                            std::filesystem::directory_iterator()),
              1);

    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "giving a link another owner needs root and the user \"nobody\"";
    }
    const auto victim = dir_ / "victim.conf";
    WriteFile(victim, "precious");
    const auto planted = shared / "x.reg";
    std::filesystem::create_symlink(victim, planted);
    ASSERT_EQ(::lchown(planted.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    const Result result = Run({"export", "HKCU\\A", planted.string(), "/y"});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("belongs to another user in a shared folder"));
    EXPECT_EQ(ReadFile(victim), "precious");
}

// A line feed or an escape in a file or key name is quoted and escaped: one
// message, one line, nothing for the terminal to act on.
TEST_F(RegToolBinaryTest, ControlCharactersInNamesAreQuotedInMessages) {
    Result result = Run({"import", (dir_ / "a\nb.reg").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "ERROR: '" + (dir_ / "a\\nb.reg").string() + "': no such file\n");

    result = Run({"query", "HKCU\\x\x1b[2Jy"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << result.err;
    EXPECT_THAT(result.err, HasSubstr("'x\\e[2Jy'"));

    WriteFile(dir_ / "bad\r.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\A\n");
    result = Run({"import", (dir_ / "bad\r.reg").string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("'" + (dir_ / "bad\\r.reg").string() + "', line 3"));
    EXPECT_EQ(result.err.find('\r'), std::string::npos) << result.err;
}
