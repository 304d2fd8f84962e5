// What pas2rtf leaves in an output folder when a neighbour is hostile or the
// run is killed, and how it names odd files in its messages.

#include "tests/engine/EngineTestSupport.h"
#include "tests/support/Files.h"
#include "tests/tools/pas2rtf/Pas2RtfFixture.h"
#include "tools/pas2rtf/Pas2Rtf.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class OutputSafetyTest : public TPas2RtfFixture {};

// Starts the real program; its output goes nowhere.
pid_t Start(const std::vector<std::string>& args) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv{const_cast<char*>(PAS2RTF_PROGRAM)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::freopen("/dev/null", "w", stderr);
        ::execv(PAS2RTF_PROGRAM, argv.data());
        ::_exit(127);
    }
    return child;
}

// The size of a file that PROCESS holds open for writing in FOLDER, named or
// not; -1 while it holds none.
long WrittenInto(pid_t process, const fs::path& folder) {
    std::error_code error;
    const fs::path fds = "/proc/" + std::to_string(process) + "/fd";
    for (fs::directory_iterator it(fds, error), end; !error && it != end; it.increment(error)) {
        const fs::path target = fs::read_symlink(it->path(), error);
        if (!error && target.string().rfind(folder.string() + "/", 0) == 0) {
            struct stat info {};
            if (::stat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                return static_cast<long>(info.st_size);
            }
        }
    }
    return -1;
}

TEST_F(OutputSafetyTest, ARunKilledMidWriteLeavesNothingAfterTheNextRun) {
    // Large enough to be caught while its document is being written.
    std::string source;
    const std::string line = "  s := 'text' + x; { comment } Writeln(s, 12345);\n";
    while (source.size() < (64u << 20)) {
        source += line;
    }
    const std::string input = dir_.WriteFile("big.pas", source);
    source.clear();
    const fs::path out = dir_.Path() / "out";
    fs::create_directory(out);

    const pid_t writer = Start({"-o", (out / "big.rtf").string(), input});
    long written = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (written <= 0 && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, WNOHANG), 0) << "the run ended before it was killed";
        written = WrittenInto(writer, out);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    ASSERT_GT(written, 0) << "never caught writing";

    EXPECT_EQ(Run({"-o", (out / "small.rtf").string(), dir_.WriteFile("s.pas", "begin end.")}), 0);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(out)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"small.rtf"});
}

// Another user's link planted in a sticky, world-writable folder is not
// followed; the caller's own link there is.
TEST_F(OutputSafetyTest, AnotherUsersLinkInASharedFolderIsRefused) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "giving a link another owner needs root and the user \"nobody\"";
    }
    const fs::path shared = dir_.Path() / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const fs::path victim = dir_.Path() / "victim.conf";
    WriteAll(victim, "precious");
    fs::create_symlink(victim, shared / "report.rtf");
    ASSERT_EQ(::lchown((shared / "report.rtf").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    const std::string input = dir_.WriteFile("u.pas", "begin end.");

    EXPECT_EQ(Run({"-o", (shared / "report.rtf").string(), input}), 1);
    EXPECT_EQ(err_.str(), "pas2rtf: " + input + ": " + (shared / "report.rtf").string() +
                              ": cannot write: the symbolic link " +
                              (shared / "report.rtf").string() +
                              " belongs to another user in a shared folder (sticky and "
                              "world-writable) and is not followed\n");
    EXPECT_EQ(ReadAll(victim), "precious");
    EXPECT_EQ(CountEntries(shared), 1u);

    fs::create_symlink(victim, shared / "mine.rtf");
    EXPECT_EQ(Run({"-o", (shared / "mine.rtf").string(), input}), 0) << err_.str();
    EXPECT_EQ(ReadAll(victim).rfind("{\\rtf1", 0), 0u);
}

// A name with a line feed or an escape sequence is quoted and escaped, so
// that each message stays one line and nothing reaches the terminal.
TEST_F(OutputSafetyTest, ControlCharactersInNamesAreQuotedInMessages) {
    const std::string missing = (dir_.Path() / "a\nb.pas").string();
    EXPECT_EQ(Run({missing}), 1);
    const std::string shown = "'" + (dir_.Path() / "a\\nb.pas").string() + "'";
    EXPECT_EQ(err_.str(), "pas2rtf: " + shown + ": Cannot open file " + shown +
                              ": No such file or directory\n");

    const std::string red = dir_.WriteFile("\x1b[31mred.txt", "x");
    EXPECT_EQ(Run({red}), 1);
    EXPECT_EQ(err_.str(), "pas2rtf: '" + (dir_.Path() / "\\e[31mred.txt").string() +
                              "': Unknown file extension (--force converts it as Pascal)\n");

    EXPECT_EQ(Run({"-d", (dir_.Path() / "no\tdir").string(), red}), 2);
    EXPECT_EQ(err_.str().substr(0, err_.str().find('\n')),
              "pas2rtf: '" + (dir_.Path() / "no\\tdir").string() + "': no such directory");
}

} // namespace
