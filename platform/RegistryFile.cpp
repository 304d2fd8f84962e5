#include "platform/RegistryFile.h"

#include "platform/AtomicFile.h"
#include "platform/FileDescriptor.h"
#include "platform/NameQuoting.h"
#include "platform/RegistryText.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

std::filesystem::path DefaultRegistryFile() {
    if (const char* file = std::getenv("LUMIVANE_REGISTRY"); file && *file) {
        return file;
    }
    // XDG base directories must be absolute; a relative one is ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
        return fs::path(config) / "lumivane" / "user.reg";
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || !*home) {
        throw ERegistryException("Cannot locate the settings store: set LUMIVANE_REGISTRY, "
                                 "XDG_CONFIG_HOME or HOME");
    }
    return fs::path(home) / ".config" / "lumivane" / "user.reg";
}

namespace platform {

namespace {

constexpr const char* kTemporaryTag = "tmp";

// Far above any real settings file; keeps a wrongly named file from being slurped.
constexpr off_t kMaxFileSize = 64 * 1024 * 1024;

std::string SystemError(const fs::path& file, const std::string& what = {}) {
    return ShownName(file.string()) + ": " + (what.empty() ? "" : what + ": ") +
           std::strerror(errno);
}

// False when the file does not exist.
bool ReadWholeFile(const fs::path& file, std::string& content) {
    // O_NONBLOCK: a FIFO in the store's place must not hang us before fstat.
    TFileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        // A folder on the path that is a file is a fault to report, not an
        // empty store: a store written there could never be read back.
        if (errno == ENOENT) {
            return false;
        }
        throw ERegistryException(SystemError(file, "cannot read"));
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        throw ERegistryException(SystemError(file, "cannot read"));
    }
    if (!S_ISREG(info.st_mode)) {
        throw ERegistryException(ShownName(file.string()) + ": not a regular file");
    }
    if (info.st_size > kMaxFileSize) {
        throw ERegistryException(ShownName(file.string()) +
                                 ": file too large for a settings store");
    }
    content.clear();
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw ERegistryException(SystemError(file, "cannot read"));
        }
        if (got == 0) {
            return true;
        }
        content.append(buffer, static_cast<std::size_t>(got));
        if (content.size() > static_cast<std::size_t>(kMaxFileSize)) {
            throw ERegistryException(ShownName(file.string()) +
                                     ": file too large for a settings store");
        }
    }
}

// A store the user made read-only is not replaced, also not by root, whom
// the permission bits do not stop: the rename would go around them.
void CheckWritable(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        return; // a store yet to be created
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        throw EStoreWriteError(ShownName(file.string()) + ": cannot write: the file is read-only");
    }
    if (::access(file.c_str(), W_OK) != 0) {
        throw EStoreWriteError(SystemError(file, "cannot write"));
    }
}

} // namespace

RegKey LoadStore(const fs::path& file) {
    std::string content;
    if (!ReadWholeFile(file, content)) {
        return RegKey{};
    }
    return ParseRegText(content, file.string());
}

std::string ReadTextFile(const fs::path& file) {
    std::string content;
    if (!ReadWholeFile(file, content)) {
        throw ERegistryException(ShownName(file.string()) + ": no such file");
    }
    return content;
}

void UpdateStore(const fs::path& file, const std::function<bool(RegKey&)>& change) {
    try {
        const fs::path target = FollowLinks(file);
        std::error_code error;
        fs::create_directories(FolderOf(target), error);
        if (error) {
            throw EStoreWriteError(ShownName(FolderOf(target).string()) +
                                   ": cannot create the folder: " + error.message());
        }

        const fs::path lockFile = target.string() + ".lock";
        // Never through a link: one planted beside a store in a shared folder
        // would have the file it names created.
        TFileDescriptor lock(
            ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (lock.Get() < 0) {
            throw EStoreWriteError(SystemError(lockFile, "cannot open the lock file"));
        }
        while (::flock(lock.Get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                throw EStoreWriteError(SystemError(lockFile, "cannot lock"));
            }
        }

        // A writer killed between creating its temporary file and the rename
        // leaves that file behind; under the lock nobody else can be writing one.
        RemoveStaleTemporaries(FolderOf(target), kTemporaryTag, target.filename().string(),
                               std::chrono::seconds(0));
        RegKey root = LoadStore(target);
        if (!change(root)) {
            return;
        }
        CheckWritable(target);
        WriteFileAtomically(target, FormatRegText(root, std::string(kRootName)), 0600,
                            kTemporaryTag);
    } catch (const EAtomicFileError& error) {
        throw EStoreWriteError(error.what());
    }
}

} // namespace platform
