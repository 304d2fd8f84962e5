#include "tools/pas2rtf/SignalCleanup.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <unistd.h>

namespace {

constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Read by the handler, which may only call async-signal-safe functions:
// fixed buffers, each with a state that a thread claims it by and sets to
// kFull once the buffer is complete. Lock-free atomics are safe there.
enum : int { kFree, kClaimed, kFull };
struct TSlot {
    char Path[PATH_MAX];
    std::atomic<int> State{kFree};
};
TSlot gTemporaries[TTemporaryRegistration::kMaxTemporaries];
static_assert(std::atomic<int>::is_always_lock_free);

void RemoveTemporaryAndDie(int signal) {
    for (TSlot& slot : gTemporaries) {
        if (slot.State.load() == kFull) {
            ::unlink(slot.Path);
        }
    }
    // SA_RESETHAND has restored the default action; it ends the program once
    // the handler returns and the signal is no longer held.
    ::raise(signal);
}

sigset_t CleanedSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kCleanedSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

} // namespace

void InstallSignalCleanup() {
    for (const int signal : kCleanedSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = RemoveTemporaryAndDie;
        action.sa_mask = CleanedSet();
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

TTemporaryRegistration::TTemporaryRegistration(const std::string& path) {
    if (path.size() >= PATH_MAX) {
        return;
    }
    for (int i = 0; i < kMaxTemporaries; ++i) {
        int expected = kFree;
        if (gTemporaries[i].State.compare_exchange_strong(expected, kClaimed)) {
            std::memcpy(gTemporaries[i].Path, path.c_str(), path.size() + 1);
            gTemporaries[i].State.store(kFull);
            slot_ = i;
            return;
        }
    }
}

TTemporaryRegistration::~TTemporaryRegistration() {
    if (slot_ >= 0) {
        gTemporaries[slot_].State.store(kFree);
    }
}

TSignalsHeld::TSignalsHeld() {
    const sigset_t set = CleanedSet();
    ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

TSignalsHeld::~TSignalsHeld() {
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}
