#include "platform/AtomicFile.h"

#include "platform/FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

// As the system's own limit on links followed in one path lookup.
constexpr int kMaxLinks = 40;
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kRandomLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string Describe(const fs::path& file, const std::string& what, int error) {
    return file.string() + ": " + what + ": " + std::strerror(error);
}

std::string RandomSuffix() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kRandomLetters.size() - 1);
    std::string suffix(kRandomLength, ' ');
    for (char& c : suffix) {
        c = kRandomLetters[pick(generator)];
    }
    return suffix;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done < 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

// The rename is durable only once the folder's entry is on disk. Some file
// systems cannot sync a folder (EINVAL); there is nothing more to do then.
int SyncFolder(const fs::path& folder) {
    const TFileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.IsOpen()) {
        return errno;
    }
    return ::fsync(fd.Get()) != 0 && errno != EINVAL ? errno : 0;
}

bool IsTemporaryName(std::string_view entry, const std::string& tag, const std::string& name) {
    const std::string middle = "." + tag + ".";
    if (entry.size() < 1 + middle.size() + kRandomLength + (name.empty() ? 1 : name.size()) ||
        entry.front() != '.') {
        return false;
    }
    const std::string_view suffix = entry.substr(entry.size() - kRandomLength);
    if (suffix.find_first_not_of(kRandomLetters) != std::string_view::npos) {
        return false;
    }
    const std::string_view rest = entry.substr(1, entry.size() - 1 - kRandomLength);
    if (!rest.ends_with(middle)) {
        return false;
    }
    return name.empty() || rest.substr(0, rest.size() - middle.size()) == name;
}

} // namespace

fs::path FolderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

fs::path FollowLinks(const fs::path& file) {
    fs::path current = file;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error))) {
            return current;
        }
        const fs::path target = fs::read_symlink(current, error);
        if (error) {
            return current;
        }
        current = target.is_absolute() ? target : FolderOf(current) / target;
    }
    throw EAtomicFileError(Describe(file, "cannot write", ELOOP));
}

TAtomicFile::TAtomicFile(fs::path target, mode_t newFileMode, std::string tag)
    : shownName_(std::move(target)), target_(FollowLinks(shownName_)), newFileMode_(newFileMode),
      tag_(std::move(tag)) {}

TAtomicFile::~TAtomicFile() {
    fd_.Reset(-1);
    if (!temporary_.empty() && !committed_) {
        ::unlink(temporary_.c_str());
    }
}

void TAtomicFile::Fail(const std::string& what, int error) const {
    throw EAtomicFileError(Describe(shownName_, what, error));
}

void TAtomicFile::Create() {
    if (!temporary_.empty()) {
        return;
    }
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    // Renaming over a device, a FIFO or a folder would put a plain file in
    // its place (even over /dev/null, for root).
    if (exists && !S_ISREG(existing.st_mode)) {
        throw EAtomicFileError(shownName_.string() + ": cannot write: not a regular file");
    }
    // A new file gets its mode from open, less the umask, like any new file;
    // a replacement is made private first and given the old file's mode below.
    const mode_t createMode = exists ? 0600 : newFileMode_;
    // Appended, not "." + ...: GCC 12 at -O3 warns falsely about that form.
    std::string hiddenName = ".";
    hiddenName += target_.filename().string();
    hiddenName += '.';
    hiddenName += tag_;
    hiddenName += '.';
    const std::string prefix = (FolderOf(target_) / hiddenName).string();
    for (int attempt = 0; !fd_.IsOpen(); ++attempt) {
        std::string name = prefix + RandomSuffix();
        fd_.Reset(
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, createMode));
        if (fd_.IsOpen()) {
            temporary_ = std::move(name);
        } else if (errno != EEXIST || attempt == 100) {
            Fail("cannot create a temporary file beside it", errno);
        }
    }
    if (exists) {
        if (::fchmod(fd_.Get(), existing.st_mode & 07777) != 0) {
            Fail("cannot write", errno);
        }
        // Someone else's file written by root stays theirs; anyone else cannot
        // change the owner and keeps the file as their own.
        if (::geteuid() == 0) {
            [[maybe_unused]] const int ignored =
                ::fchown(fd_.Get(), existing.st_uid, existing.st_gid);
        }
    }
}

void TAtomicFile::Write(std::string_view bytes) {
    Create();
    if (!WriteAll(fd_.Get(), bytes)) {
        Fail("cannot write", errno);
    }
    // A large file goes to the disk while it is written, a megabyte at a
    // time, so that Commit's sync does not wait for all of it at the end.
    // Only a hint: whatever it does not start, the sync does.
    written_ += bytes.size();
    if (written_ - writebackFrom_ >= kWritebackPiece) {
        [[maybe_unused]] const int ignored =
            ::sync_file_range(fd_.Get(), static_cast<off_t>(writebackFrom_),
                              static_cast<off_t>(written_ - writebackFrom_), SYNC_FILE_RANGE_WRITE);
        writebackFrom_ = written_;
    }
}

void TAtomicFile::Commit() {
    Create(); // an empty file still replaces the target
    if (!deferSync_ && ::fsync(fd_.Get()) != 0) {
        Fail("cannot write", errno);
    }
    if (!fd_.Close()) {
        Fail("cannot write", errno);
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Fail("cannot write", errno);
    }
    committed_ = true;
    if (deferSync_) {
        return;
    }
    if (const int error = SyncFolder(FolderOf(target_)); error != 0) {
        throw EAtomicFileError(Describe(FolderOf(target_), "cannot sync the folder", error));
    }
}

std::string SyncFileSystems(const std::vector<fs::path>& folders) {
    std::set<dev_t> synced;
    for (const fs::path& folder : folders) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0) {
            return Describe(folder, "cannot sync", errno);
        }
        if (!synced.insert(info.st_dev).second) {
            continue;
        }
        const TFileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!fd.IsOpen() || ::syncfs(fd.Get()) != 0) {
            return Describe(folder, "cannot sync", errno);
        }
    }
    return {};
}

void WriteFileAtomically(const fs::path& file, std::string_view content, mode_t newFileMode,
                         const std::string& tag) {
    TAtomicFile writer(file, newFileMode, tag);
    writer.Write(content);
    writer.Commit();
}

int RemoveStaleTemporaries(const fs::path& folder, const std::string& tag, const std::string& name,
                           std::chrono::seconds minimumAge) {
    const auto now = std::chrono::system_clock::now();
    int removed = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path entry = it->path();
        if (!IsTemporaryName(entry.filename().string(), tag, name)) {
            continue;
        }
        struct stat info {};
        if (::lstat(entry.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid()) {
            continue;
        }
        const auto changed = std::chrono::system_clock::from_time_t(info.st_mtime);
        if (now - changed >= minimumAge && ::unlink(entry.c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}
