#pragma once
// An open file descriptor that is closed when it goes.

#include <unistd.h>
#include <utility>

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd = -1) : fd_(fd) {}
    ~TFileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    void Reset(int fd) { TFileDescriptor old(std::exchange(fd_, fd)); }
    // Closes now: false, with errno set, when the close reports an error
    // (for a written file, the last chance to hear of a failed write).
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};
