#pragma once
// An interrupted conversion must not leave its temporary file behind: SIGINT,
// SIGTERM and SIGHUP remove the one registered here before the program ends
// by the signal as it would have without a handler.

#include <csignal>
#include <string>

// Installs the handlers, except for signals the program was started with
// ignored (as under nohup). Called once, by the program's main.
void InstallSignalCleanup();

// Registers the temporary file of an output being written while it exists.
// As many are registered at once as files are converted at once (up to
// kMaxTemporaries); a path too long for the handler's buffer, or one beyond
// that number, is not, and a later run removes the file as stale instead.
class TTemporaryRegistration {
public:
    static constexpr int kMaxTemporaries = 64;

    explicit TTemporaryRegistration(const std::string& path);
    ~TTemporaryRegistration();
    TTemporaryRegistration(const TTemporaryRegistration&) = delete;
    TTemporaryRegistration& operator=(const TTemporaryRegistration&) = delete;

private:
    int slot_ = -1;
};

// Keeps SIGINT, SIGTERM and SIGHUP waiting while it lives, so that a file and
// its registration come into being together.
class TSignalsHeld {
public:
    TSignalsHeld();
    ~TSignalsHeld();
    TSignalsHeld(const TSignalsHeld&) = delete;
    TSignalsHeld& operator=(const TSignalsHeld&) = delete;

private:
    sigset_t saved_; // the thread's mask before
};
