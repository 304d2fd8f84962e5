#pragma once
// Replacing a file so that readers see the old content or the new, never a
// part, and a crash never loses both: the bytes go to a temporary file in the
// target's folder, which is synced and renamed over the target, and the folder
// is synced after the rename.
//
// Only a regular file is replaced: a device, a FIFO or a folder in the
// target's place is an error. A target that is a symbolic link (also one whose
// file does not exist yet) is followed: the file it points to is replaced and
// the link stays. In a folder that is sticky and world-writable (such as /tmp)
// a link is followed only when the caller or the folder's owner owns it, as
// the kernel's rule for protected links has it; another's link there is an
// error, and nothing is written. An existing target keeps its permission bits
// (and, written by root, its owner); a new one is created with the mode given,
// less the process's umask as for any new file.
//
// The temporary file has no name while it is written, where the file system
// allows that: a writer that is killed leaves nothing behind. It is named
// ".NAME.TAG.PID.XXXXXX" beside the target for the moment of the rename (and
// for the whole write where the file system has no unnamed files), PID being
// the writer's process, so that the next writer with TAG can recognise the
// leftovers of a killed run and remove them.

#include "platform/FileDescriptor.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// A file could not be written; the message names it and gives the cause. The
// target is then as it was.
class EAtomicFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TAtomicFile {
public:
    // Nothing is created before Create or the first Write.
    explicit TAtomicFile(std::filesystem::path target, mode_t newFileMode = 0666,
                         std::string tag = "tmp");
    // Removes the temporary file unless Commit succeeded.
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Creates the temporary file if it is not there yet.
    void Create();
    void Write(std::string_view bytes);
    // Syncs the temporary file, renames it over the target and syncs the folder.
    void Commit();
    // For one file of a batch: Commit renames without either sync, and the
    // batch ends with one SyncFileSystems over its folders.
    void DeferSync() { deferSync_ = true; }

    // The file that is replaced: the target with its links followed.
    const std::filesystem::path& Target() const { return target_; }
    // The temporary file's name; empty while it has none.
    const std::string& TemporaryName() const { return temporary_; }

private:
    [[noreturn]] void Fail(const std::string& what, int error) const;
    // ".NAME.TAG.PID." beside the target.
    std::string TemporaryPrefix() const;
    // Creates the temporary file under a name of its own.
    void CreateNamed(mode_t mode);
    // Gives the unnamed temporary file its name, for the rename.
    void NameTemporary();

    std::filesystem::path shownName_; // as the caller named it, for messages
    std::filesystem::path target_;
    mode_t newFileMode_;
    std::string tag_;
    std::string temporary_;
    TFileDescriptor fd_;
    bool unnamed_ = false; // the temporary file has no name yet
    bool committed_ = false;
    bool deferSync_ = false;
    static constexpr std::size_t kWritebackPiece = 1 << 20;
    std::size_t written_ = 0;       // bytes written so far
    std::size_t writebackFrom_ = 0; // the first byte not yet handed to the disk
};

// The whole of CONTENT as FILE, through TAtomicFile.
void WriteFileAtomically(const std::filesystem::path& file, std::string_view content,
                         mode_t newFileMode = 0666, const std::string& tag = "tmp");

// Makes everything written in the file systems of FOLDERS durable: one sync
// per file system, however many folders and files. Returns an empty text, or
// the first failure naming its folder.
std::string SyncFileSystems(const std::vector<std::filesystem::path>& folders);

// FILE with every symbolic link of its last component followed, also a link to
// a file that does not exist yet; FILE itself when it is no link. Throws
// EAtomicFileError for a loop of links and for a link that another user owns
// in a sticky, world-writable folder (see above).
std::filesystem::path FollowLinks(const std::filesystem::path& file);

// The folder a file lives in ("." for a bare name).
std::filesystem::path FolderOf(const std::filesystem::path& file);

// Removes the temporaries that TAtomicFile writers with TAG left in FOLDER
// (for NAME only, or for any name when NAME is empty) and which belong to this
// process's user: those whose writer process is gone, and any whose last
// change is at least minimumAge ago. Returns how many went; failures to remove
// are skipped silently.
int RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& tag,
                           const std::string& name, std::chrono::seconds minimumAge);
