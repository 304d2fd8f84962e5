#include "platform/AtomicFile.h"

#include "platform/FileDescriptor.h"
#include "platform/NameQuoting.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <set>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;
using platform::ShownName;

namespace {

// As the system's own limit on links followed in one path lookup.
constexpr int kMaxLinks = 40;
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kRandomLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string Describe(const fs::path& file, const std::string& what, int error) {
    return ShownName(file.string()) + ": " + what + ": " + std::strerror(error);
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

// What a folder entry tells of a temporary of TAG (and of NAME, unless that is
// empty): whether it is one, and its writer's process when the name says.
struct TTemporaryEntry {
    bool matches = false;
    pid_t writer = 0; // 0: the name carries no process
};

TTemporaryEntry ParseTemporaryName(std::string_view entry, const std::string& tag,
                                   const std::string& name) {
    if (entry.size() < 1 + kRandomLength || entry.front() != '.') {
        return {};
    }
    const std::string_view suffix = entry.substr(entry.size() - kRandomLength);
    if (suffix.find_first_not_of(kRandomLetters) != std::string_view::npos) {
        return {};
    }
    // ".NAME.TAG.PID.", or ".NAME.TAG." as older writers named them.
    std::string_view rest = entry.substr(1, entry.size() - 1 - kRandomLength);
    pid_t writer = 0;
    const std::size_t dot =
        rest.size() >= 2 ? rest.rfind('.', rest.size() - 2) : std::string_view::npos;
    if (dot != std::string_view::npos) {
        const std::string_view digits = rest.substr(dot + 1, rest.size() - dot - 2);
        if (!digits.empty() && digits.size() <= 9 &&
            digits.find_first_not_of("0123456789") == std::string_view::npos) {
            writer = static_cast<pid_t>(std::stol(std::string(digits)));
            rest = rest.substr(0, dot + 1);
        }
    }
    const std::string middle = "." + tag + ".";
    if (!rest.ends_with(middle) || rest.size() == middle.size()) {
        return {};
    }
    if (!name.empty() && rest.substr(0, rest.size() - middle.size()) != name) {
        return {};
    }
    return {true, writer};
}

// No process of that number runs (here, or in this process's view of them).
bool WriterIsGone(pid_t writer) {
    return writer > 0 && ::kill(writer, 0) != 0 && errno == ESRCH;
}

// Whether the kernel's rule for protected links lets a link in FOLDER, owned
// by LINKOWNER, be followed: in a sticky, world-writable folder only the
// caller's own links and those of the folder's owner are.
bool MayFollowLinkIn(const fs::path& folder, uid_t linkOwner) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return true; // nothing can be written there anyway
    }
    const bool shared = (info.st_mode & S_ISVTX) != 0 && (info.st_mode & S_IWOTH) != 0;
    return !shared || linkOwner == ::geteuid() || linkOwner == info.st_uid;
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
        struct stat link {};
        if (::lstat(current.c_str(), &link) == 0 &&
            !MayFollowLinkIn(FolderOf(current), link.st_uid)) {
            throw EAtomicFileError(ShownName(file.string()) + ": cannot write: the symbolic link " +
                                   ShownName(current.string()) +
                                   " belongs to another user in a shared folder (sticky and "
                                   "world-writable) and is not followed");
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
    if (fd_.IsOpen() || committed_) {
        return;
    }
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    // Renaming over a device, a FIFO or a folder would put a plain file in
    // its place (even over /dev/null, for root).
    if (exists && !S_ISREG(existing.st_mode)) {
        throw EAtomicFileError(ShownName(shownName_.string()) +
                               ": cannot write: not a regular file");
    }
    // A new file gets its mode from open, less the umask, like any new file;
    // a replacement is made private first and given the old file's mode below.
    const mode_t createMode = exists ? 0600 : newFileMode_;
    const fs::path folder = FolderOf(target_);
    fd_.Reset(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode));
    if (fd_.IsOpen()) {
        unnamed_ = true;
    } else if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) {
        CreateNamed(createMode); // a file system without unnamed files
    } else {
        Fail("cannot create a temporary file beside it", errno);
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

std::string TAtomicFile::TemporaryPrefix() const {
    // Appended, not "." + ...: GCC 12 at -O3 warns falsely about that form.
    std::string hiddenName = ".";
    hiddenName += target_.filename().string();
    hiddenName += '.';
    hiddenName += tag_;
    hiddenName += '.';
    hiddenName += std::to_string(::getpid());
    hiddenName += '.';
    return (FolderOf(target_) / hiddenName).string();
}

void TAtomicFile::CreateNamed(mode_t mode) {
    const std::string prefix = TemporaryPrefix();
    for (int attempt = 0; !fd_.IsOpen(); ++attempt) {
        std::string name = prefix + RandomSuffix();
        fd_.Reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (fd_.IsOpen()) {
            temporary_ = std::move(name);
        } else if (errno != EEXIST || attempt == 100) {
            Fail("cannot create a temporary file beside it", errno);
        }
    }
}

void TAtomicFile::NameTemporary() {
    // Linking through /proc needs no privilege, unlike AT_EMPTY_PATH.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.Get());
    const std::string prefix = TemporaryPrefix();
    for (int attempt = 0; unnamed_; ++attempt) {
        std::string name = prefix + RandomSuffix();
        int linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno != EEXIST) {
            linked = ::linkat(fd_.Get(), "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
        }
        if (linked == 0) {
            temporary_ = std::move(name);
            unnamed_ = false;
        } else if (errno != EEXIST || attempt == 100) {
            Fail("cannot write", errno);
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
    NameTemporary();
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
        const TTemporaryEntry temporary = ParseTemporaryName(entry.filename().string(), tag, name);
        if (!temporary.matches) {
            continue;
        }
        struct stat info {};
        if (::lstat(entry.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid()) {
            continue;
        }
        const auto changed = std::chrono::system_clock::from_time_t(info.st_mtime);
        if ((WriterIsGone(temporary.writer) || now - changed >= minimumAge) &&
            ::unlink(entry.c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}
