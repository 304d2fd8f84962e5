// The built lumivane-reg program: exit status, streams, no hang without input,
// and two copies writing at once.
#include "platform/Registry.h"
#include "tests/platform/TempStore.h"

#include <fcntl.h>
#include <gmock/gmock.h>
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
