#include "engine/MemoryStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>

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

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void ThrowFileError(const char* what, const std::string& fileName, int error) {
    throw std::runtime_error(std::string(what) + " \"" + fileName + "\": " + std::strerror(error));
}

} // namespace

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file) {
        ThrowFileError("Cannot open file", fileName, errno);
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0) {
        ThrowFileError("Cannot open file", fileName, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        ThrowFileError("Cannot open file", fileName, EISDIR);
    }

    // The size is only a hint: a file may grow or shrink while it is read, and
    // some files (pipes, /proc) report none at all. One byte more than the
    // size lets the read that finds the end do without growing the buffer.
    TMemoryStream content;
    content.Reserve(S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : 0);
    for (;;) {
        if (content.size_ == content.capacity_) {
            content.Reserve(content.capacity_ +
                            std::max<std::size_t>(64 * 1024, content.capacity_ / 2));
        }
        const std::size_t got = std::fread(content.data_.get() + content.size_, 1,
                                           content.capacity_ - content.size_, file.get());
        content.size_ += got;
        if (got == 0) {
            break;
        }
    }
    if (std::ferror(file.get())) {
        ThrowFileError("Cannot read file", fileName, errno != 0 ? errno : EIO);
    }
    *this = std::move(content);
}
