#include "platform/RegistryFile.h"

#include "platform/RegistryText.h"

#include <cerrno>
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
    if (const char* file = std::getenv("LUMIVANE_REGISTRY"); file && *file)
        return file;
    // XDG base directories must be absolute; a relative one is ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return fs::path(config) / "lumivane" / "user.reg";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || !*home)
        throw ERegistryException("Cannot locate the settings store: set LUMIVANE_REGISTRY, "
                                 "XDG_CONFIG_HOME or HOME");
    return fs::path(home) / ".config" / "lumivane" / "user.reg";
}

namespace regstore {

namespace {

// Far above any real settings file; keeps a wrongly named file from being slurped.
constexpr off_t MaxFileSize = 64 * 1024 * 1024;

std::string SystemError(const fs::path& file, const std::string& what = {}) {
    return file.string() + ": " + (what.empty() ? "" : what + ": ") + std::strerror(errno);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// False when the file does not exist (or cannot, its folder being a file).
bool ReadWholeFile(const fs::path& file, std::string& content) {
    // O_NONBLOCK: a FIFO in the store's place must not hang us before fstat.
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw ERegistryException(SystemError(file, "cannot read"));
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0)
        throw ERegistryException(SystemError(file, "cannot read"));
    if (!S_ISREG(info.st_mode))
        throw ERegistryException(file.string() + ": not a regular file");
    if (info.st_size > MaxFileSize)
        throw ERegistryException(file.string() + ": file too large for a settings store");
    content.clear();
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw ERegistryException(SystemError(file, "cannot read"));
        if (got == 0)
            return true;
        content.append(buffer, static_cast<std::size_t>(got));
        if (content.size() > static_cast<std::size_t>(MaxFileSize))
            throw ERegistryException(file.string() + ": file too large for a settings store");
    }
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t done = ::write(fd, content.data(), content.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

// Writing through a symbolic link replaces the file it points to, not the link.
fs::path RealStorePath(const fs::path& file) {
    std::error_code error;
    if (fs::is_symlink(file, error)) {
        fs::path target = fs::weakly_canonical(file, error);
        if (!error)
            return target;
    }
    return file;
}

fs::path FolderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// A writer killed between creating its temporary file and the rename leaves
// that file behind; under the lock nobody else can be writing one.
void RemoveStaleTemporaries(const fs::path& file) {
    const std::string prefix = file.filename().string() + ".tmp-";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(FolderOf(file), error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix))
            fs::remove(entry.path(), error);
    }
}

void SyncFolder(const fs::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0)
        throw EStoreWriteError(SystemError(folder, "cannot sync the folder"));
    if (::fsync(fd.Get()) != 0 && errno != EINVAL)
        throw EStoreWriteError(SystemError(folder, "cannot sync the folder"));
}

} // namespace

RegKey LoadStore(const fs::path& file) {
    std::string content;
    if (!ReadWholeFile(file, content))
        return RegKey{};
    return ParseRegText(content, file.string());
}

std::string ReadTextFile(const fs::path& file) {
    std::string content;
    if (!ReadWholeFile(file, content))
        throw ERegistryException(file.string() + ": no such file");
    return content;
}

void UpdateStore(const fs::path& file, const std::function<bool(RegKey&)>& change) {
    const fs::path target = RealStorePath(file);
    std::error_code error;
    fs::create_directories(FolderOf(target), error);
    if (error)
        throw EStoreWriteError(FolderOf(target).string() +
                               ": cannot create the folder: " + error.message());

    const fs::path lockFile = target.string() + ".lock";
    FileDescriptor lock(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0)
        throw EStoreWriteError(SystemError(lockFile, "cannot open the lock file"));
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            throw EStoreWriteError(SystemError(lockFile, "cannot lock"));
    }

    RemoveStaleTemporaries(target);
    RegKey root = LoadStore(target);
    if (!change(root))
        return;
    WriteFileAtomically(target, FormatRegText(root, std::string(RootName)));
}

void WriteFileAtomically(const fs::path& file, std::string_view content, mode_t newFileMode) {
    std::string temporary = file.string() + ".tmp-XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        throw EStoreWriteError(SystemError(file, "cannot create a temporary file beside it"));
    struct stat existing {};
    const mode_t mode =
        ::stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : newFileMode;
    const bool written = ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), content) &&
                         ::fsync(fd.Get()) == 0 && ::close(fd.Release()) == 0 &&
                         ::rename(temporary.c_str(), file.c_str()) == 0;
    if (!written) {
        const int cause = errno;
        ::unlink(temporary.c_str());
        errno = cause;
        throw EStoreWriteError(SystemError(file, "cannot write"));
    }
    SyncFolder(FolderOf(file));
}

} // namespace regstore
