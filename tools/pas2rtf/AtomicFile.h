#pragma once
// Replacing a file so that readers see the old content or the new, never a
// part: the bytes go to a temporary file beside the target, which is renamed
// over it once complete.

#include "engine/ByteSink.h"

#include <string>
#include <string_view>

class TAtomicFile : public TByteSink {
public:
    // Nothing is created until the first write.
    explicit TAtomicFile(std::string path) : path_(std::move(path)) {}
    // Removes the temporary file unless Commit succeeded.
    ~TAtomicFile() override;
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Both throw std::runtime_error naming the target and the reason; an
    // existing target is then left as it was.
    void Write(std::string_view bytes) override;
    void Commit();

private:
    [[noreturn]] void Fail(int error) const;

    std::string path_;
    std::string tempName_;
    int fd_ = -1;
    bool committed_ = false;
};

void WriteFileAtomically(const std::string& path, std::string_view content);
