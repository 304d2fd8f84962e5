#include "tools/pas2rtf/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

TAtomicFile::~TAtomicFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
    if (!tempName_.empty() && !committed_) {
        unlink(tempName_.c_str());
    }
}

void TAtomicFile::Fail(int error) const {
    throw std::runtime_error("cannot write \"" + path_ + "\": " + std::strerror(error));
}

void TAtomicFile::Write(std::string_view bytes) {
    if (tempName_.empty()) {
        const std::filesystem::path target(path_);
        std::filesystem::path folder = target.parent_path();
        if (folder.empty()) {
            folder = ".";
        }
        std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
        fd_ = mkstemp(name.data());
        if (fd_ < 0) {
            Fail(errno);
        }
        tempName_ = std::move(name);
    }
    while (!bytes.empty()) {
        const ssize_t written = write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void TAtomicFile::Commit() {
    if (tempName_.empty()) {
        Write({}); // an empty file still replaces the target
    }
    // mkstemp makes the file private; give it the mode a new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd_, 0666 & ~mask) != 0) {
        Fail(errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        Fail(errno);
    }
    if (std::rename(tempName_.c_str(), path_.c_str()) != 0) {
        Fail(errno);
    }
    committed_ = true;
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
    TAtomicFile file(path);
    file.Write(content);
    file.Commit();
}
