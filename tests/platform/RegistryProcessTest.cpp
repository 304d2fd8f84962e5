// The store shared by real processes: concurrent writers, readers during
// writes, and writers killed at any moment.
#include "platform/Registry.h"
#include "tests/platform/TempStore.h"

#include <csignal>
#include <random>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class RegistryProcessTest : public TempStoreTest {};

// Runs body in a child process; its exit status is 0 when body returned
// normally and 1 when it threw.
template <typename Body> pid_t Spawn(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 0;
        try {
            body();
        } catch (...) {
            status = 1;
        }
        ::_exit(status);
    }
    return pid;
}

// Kills an endless child when the test leaves its scope, also on a failed assertion.
class KilledAtExit {
public:
    explicit KilledAtExit(pid_t pid) : pid_(pid) {}
    ~KilledAtExit() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    KilledAtExit(const KilledAtExit&) = delete;
    KilledAtExit& operator=(const KilledAtExit&) = delete;

private:
    pid_t pid_;
};

int ExitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST_F(RegistryProcessTest, TwoWritersAtOnceBothKeepTheirValues) {
    constexpr int kWrites = 25;
    const auto writer = [](const std::string& prefix) {
        return [prefix] {
            TRegistry registry;
            for (int i = 0; i < kWrites; ++i) {
                registry.OpenKey("Software\\QD\\Lumivane\\Race", true);
                registry.WriteInteger(prefix + std::to_string(i), i);
            }
        };
    };
    const pid_t first = Spawn(writer("A"));
    const pid_t second = Spawn(writer("B"));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_EQ(ExitStatus(first), 0);
    EXPECT_EQ(ExitStatus(second), 0);

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Race", false));
    EXPECT_EQ(registry.GetValueNames().size(), 2u * kWrites);
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_EQ(registry.ReadInteger("A" + std::to_string(i)), i);
        EXPECT_EQ(registry.ReadInteger("B" + std::to_string(i)), i);
    }
}

TEST_F(RegistryProcessTest, ReadersNeverSeeAHalfWrittenFileAndKillingAWriterBreaksNothing) {
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true));
        registry.WriteString("Big", std::string(200000, 'a'));
    }
    std::mt19937 random(12345);
    for (int round = 0; round < 4; ++round) {
        // A writer that alternates a large value between two lengths forever,
        // so a torn file would show as a parse error or a wrong length.
        const pid_t writer = Spawn([] {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            TRegistry registry;
            registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true);
            for (int i = 0;; ++i) {
                registry.WriteString("Big", std::string(i % 2 ? 150000 : 200000, 'a' + i % 26));
            }
        });
        ASSERT_GT(writer, 0);
        {
            const KilledAtExit stop(writer);
            const auto until =
                std::chrono::steady_clock::now() +
                std::chrono::milliseconds(std::uniform_int_distribution(20, 80)(random));
            while (std::chrono::steady_clock::now() < until) {
                TRegistry reader;
                ASSERT_TRUE(reader.OpenKey("Software\\QD\\Lumivane\\Pascal", false));
                const std::size_t length = reader.ReadString("Big").size();
                ASSERT_TRUE(length == 150000 || length == 200000) << length;
            }
        }

        TRegistry after;
        ASSERT_TRUE(after.OpenKey("Software\\QD\\Lumivane\\Pascal", false));
        const std::string value = after.ReadString("Big");
        ASSERT_TRUE(value.size() == 150000 || value.size() == 200000);
        EXPECT_EQ(value.find_first_not_of(value[0]), std::string::npos);
        // The next write goes through although the killed writer held the lock.
        after.WriteString("Small", "ok");
        EXPECT_EQ(after.ReadString("Small"), "ok");
    }
    std::size_t leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(store_.parent_path())) {
        leftovers += entry.path().filename().string().starts_with("user.reg.tmp-");
    }
    EXPECT_EQ(leftovers, 0u);
}
