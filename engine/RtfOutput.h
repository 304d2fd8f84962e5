#pragma once
// Collects the document in a fixed buffer and hands it to the sink a buffer at
// a time, so that the scanner's many small writes stay cheap.

#include "engine/ByteSink.h"
#include "engine/StopRequest.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

class TRtfOutput {
public:
    // STOP, when given, is asked at every hand-over to DEST and must outlive
    // the output. EXPECTED, the document's size if known, keeps the buffer of
    // a small document small.
    explicit TRtfOutput(TByteSink& dest, const TStopRequest* stop = nullptr,
                        std::size_t expected = kCapacity)
        : dest_(dest), stop_(stop), capacity_(std::clamp(expected, kMinCapacity, kCapacity)),
          buffer_(std::make_unique_for_overwrite<char[]>(capacity_)), cursor_(buffer_.get()),
          limit_(buffer_.get() + capacity_) {}
    TRtfOutput(const TRtfOutput&) = delete;
    TRtfOutput& operator=(const TRtfOutput&) = delete;

    void Put(char c) {
        if (cursor_ == limit_) {
            Flush();
        }
        *cursor_++ = c;
    }

    void Put(std::string_view text) {
        if (text.size() <= static_cast<std::size_t>(limit_ - cursor_)) {
            std::memcpy(cursor_, text.data(), text.size());
            cursor_ += text.size();
        } else {
            Flush();
            if (text.size() < capacity_) {
                std::memcpy(cursor_, text.data(), text.size());
                cursor_ += text.size();
            } else {
                dest_.Write(text);
                flushed_ += text.size();
            }
        }
    }

    void Put(const char* first, const char* last) {
        Put(std::string_view(first, static_cast<std::size_t>(last - first)));
    }

    // Must be called at the end: what is still buffered is not written otherwise.
    void Flush() {
        if (stop_ != nullptr) {
            CheckStopRequest(*stop_);
        }
        const std::size_t buffered = static_cast<std::size_t>(cursor_ - buffer_.get());
        dest_.Write({buffer_.get(), buffered});
        flushed_ += buffered;
        cursor_ = buffer_.get();
    }

    // Bytes put so far, buffered or not.
    std::size_t Written() const {
        return flushed_ + static_cast<std::size_t>(cursor_ - buffer_.get());
    }

private:
    static constexpr std::size_t kCapacity = 64 * 1024;
    static constexpr std::size_t kMinCapacity = 4 * 1024;

    TByteSink& dest_;
    const TStopRequest* stop_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buffer_;
    char* cursor_;
    char* limit_;
    std::size_t flushed_ = 0;
};
