#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
    throw std::runtime_error("cannot write \"" + path + "\": " + std::strerror(error));
}

// The temporary file: removed unless it was renamed into place.
class TTempFile {
public:
    explicit TTempFile(std::string pattern) : name_(std::move(pattern)) {
        fd_ = mkstemp(name_.data());
    }
    ~TTempFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
        if (!renamed_) {
            unlink(name_.c_str());
        }
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;

    bool Opened() const { return fd_ >= 0; }
    const std::string& Name() const { return name_; }

    // 0 or the errno of the failing write.
    int WriteAll(std::string_view content) {
        while (!content.empty()) {
            const ssize_t written = write(fd_, content.data(), content.size());
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            content.remove_prefix(static_cast<std::size_t>(written));
        }
        return 0;
    }

    // 0 or the errno of the failing step.
    int CloseAndRename(const std::string& target) {
        // mkstemp makes the file private; give it the mode a new file would get.
        const mode_t mask = umask(0);
        umask(mask);
        if (fchmod(fd_, 0666 & ~mask) != 0) {
            return errno;
        }
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0) {
            return errno;
        }
        if (std::rename(name_.c_str(), target.c_str()) != 0) {
            return errno;
        }
        renamed_ = true;
        return 0;
    }

private:
    std::string name_;
    int fd_ = -1;
    bool renamed_ = false;
};

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view content) {
    const std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    TTempFile temp((folder / ("." + target.filename().string() + ".XXXXXX")).string());
    if (!temp.Opened()) {
        ThrowWriteError(path, errno);
    }
    if (const int error = temp.WriteAll(content); error != 0) {
        ThrowWriteError(path, error);
    }
    if (const int error = temp.CloseAndRename(path); error != 0) {
        ThrowWriteError(path, error);
    }
}
