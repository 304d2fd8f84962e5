#include "tools/pas2rtf/SignalCleanup.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <unistd.h>

namespace {

constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Read by the handler, which may only call async-signal-safe functions: a
// fixed buffer and a flag set once the buffer is complete.
char gTemporary[PATH_MAX];
volatile std::sig_atomic_t gHasTemporary = 0;

void RemoveTemporaryAndDie(int signal) {
    if (gHasTemporary != 0) {
        ::unlink(gTemporary);
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
    if (path.size() < sizeof gTemporary) {
        gHasTemporary = 0;
        std::memcpy(gTemporary, path.c_str(), path.size() + 1);
        gHasTemporary = 1;
    }
}

TTemporaryRegistration::~TTemporaryRegistration() {
    gHasTemporary = 0;
}

TSignalsHeld::TSignalsHeld() {
    const sigset_t set = CleanedSet();
    ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

TSignalsHeld::~TSignalsHeld() {
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}
