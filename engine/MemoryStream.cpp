#include "MemoryStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= data_.size()) {
        return 0;
    }
    const std::size_t n = std::min(count, data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) {
        return;
    }
    const std::size_t end = position_ + count;
    if (end > data_.capacity()) {
        // Grow by half rather than double: the document of a large file is
        // the biggest allocation of a conversion, and the old and the new
        // buffer coexist while it moves.
        data_.reserve(std::max(end, data_.capacity() + data_.capacity() / 2));
    }
    const auto* bytes = static_cast<const char*>(buffer);
    if (position_ == data_.size()) {
        data_.insert(data_.end(), bytes, bytes + count);
    } else {
        if (end > data_.size()) {
            data_.resize(end);
        }
        std::memcpy(data_.data() + position_, bytes, count);
    }
    position_ = end;
}

void TMemoryStream::Clear() {
    data_.clear();
    position_ = 0;
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
    // some files (pipes, /proc) report none at all.
    std::vector<char> data(S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0);
    std::size_t got = data.empty() ? 0 : std::fread(data.data(), 1, data.size(), file.get());
    data.resize(got);
    char chunk[64 * 1024];
    while (!std::ferror(file.get()) && (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        data.insert(data.end(), chunk, chunk + got);
    }
    if (std::ferror(file.get())) {
        ThrowFileError("Cannot read file", fileName, errno != 0 ? errno : EIO);
    }
    data_ = std::move(data);
    position_ = 0;
}
