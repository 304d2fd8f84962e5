#include "engine/MemoryStream.h"

#include "platform/FileDescriptor.h"
#include "platform/NameQuoting.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Large buffers are placed on huge-page boundaries and marked for huge pages
// where the system offers them: filling a 16 MB file then takes a handful of
// page faults instead of thousands, a good part of a whole conversion's time.
char* AllocateBytes(std::size_t capacity) {
    constexpr std::size_t kHugePage = 2 << 20;
    void* bytes = nullptr;
#if defined(MADV_HUGEPAGE)
    if (capacity >= 4 * kHugePage) {
        const std::size_t rounded = (capacity + kHugePage - 1) / kHugePage * kHugePage;
        bytes = std::aligned_alloc(kHugePage, rounded);
        if (bytes != nullptr) {
            madvise(bytes, rounded, MADV_HUGEPAGE); // only a hint: failure is harmless
        }
    }
#endif
    if (bytes == nullptr) {
        bytes = std::malloc(capacity);
    }
    if (bytes == nullptr) {
        throw std::bad_alloc();
    }
    return static_cast<char*>(bytes);
}

[[noreturn]] void ThrowFileError(const char* what, const std::string& fileName,
                                 const std::string& reason) {
    // A name with control characters is quoted and escaped, so that it can
    // neither split the message nor send escape sequences to a terminal.
    const std::string shown = platform::HasControlCharacters(fileName)
                                  ? platform::ShownName(fileName)
                                  : "\"" + fileName + "\"";
    throw std::runtime_error(std::string(what) + " " + shown + ": " + reason);
}

[[noreturn]] void ThrowFileError(const char* what, const std::string& fileName, int error) {
    ThrowFileError(what, fileName, std::strerror(error));
}

[[noreturn]] void ThrowTooLarge(const std::string& fileName) {
    ThrowFileError("Cannot read file", fileName,
                   "larger than the maximum of " +
                       std::to_string(TMemoryStream::kMaxFileSize >> 30) + " GiB");
}

} // namespace

void TMemoryStream::FreeBytes::operator()(char* bytes) const {
    std::free(bytes);
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= size_) {
        return 0;
    }
    const std::size_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, data_.get() + position_, n);
    position_ += n;
    return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) {
        return;
    }
    const std::size_t end = position_ + count;
    if (end > capacity_) {
        // Grow by half rather than double: the document of a large file is
        // the biggest allocation of a conversion, and the old and the new
        // buffer coexist while it moves.
        Reserve(std::max(end, capacity_ + capacity_ / 2));
    }
    if (position_ > size_) {
        std::memset(data_.get() + size_, 0, position_ - size_);
    }
    std::memcpy(data_.get() + position_, buffer, count);
    position_ = end;
    size_ = std::max(size_, end);
}

void TMemoryStream::Clear() {
    size_ = 0;
    position_ = 0;
}

void TMemoryStream::Reserve(std::size_t capacity) {
    if (capacity <= capacity_) {
        return;
    }
    std::unique_ptr<char[], FreeBytes> larger(AllocateBytes(capacity));
    if (size_ != 0) {
        std::memcpy(larger.get(), data_.get(), size_);
    }
    data_ = std::move(larger);
    capacity_ = capacity;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer before fstat can
    // tell what it is. It changes nothing for a regular file.
    TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        ThrowFileError("Cannot open file", fileName, errno);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        ThrowFileError("Cannot open file", fileName, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        ThrowFileError("Cannot open file", fileName, EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        ThrowFileError("Cannot open file", fileName, "not a regular file");
    }
    if (static_cast<std::uint64_t>(info.st_size) > kMaxFileSize) {
        ThrowTooLarge(fileName);
    }

    // The size is only a hint: a file may grow or shrink while it is read, and
    // some (in /proc) report none at all. One byte more than the size lets the
    // read that finds the end do without growing the buffer.
    TMemoryStream content;
    content.Reserve(static_cast<std::size_t>(info.st_size) + 1);
    for (;;) {
        if (content.size_ == content.capacity_) {
            if (content.size_ > kMaxFileSize) {
                ThrowTooLarge(fileName);
            }
            // Never more than one byte past the maximum: that byte tells a
            // file that is too large.
            content.Reserve(std::min(kMaxFileSize + 1,
                                     content.capacity_ +
                                         std::max<std::size_t>(64 * 1024, content.capacity_ / 2)));
        }
        const ssize_t got = ::read(file.Get(), content.data_.get() + content.size_,
                                   content.capacity_ - content.size_);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ThrowFileError("Cannot read file", fileName, errno);
        }
        if (got == 0) {
            break;
        }
        content.size_ += static_cast<std::size_t>(got);
    }
    if (content.size_ > kMaxFileSize) {
        ThrowTooLarge(fileName);
    }
    *this = std::move(content);
}
