#pragma once
// A growable in-memory byte stream with a position, the engine's input and
// output buffer.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TMemoryStream {
public:
    // Bytes read (fewer than count only at the end of the data).
    std::size_t Read(void* buffer, std::size_t count);
    // Writes at the position, overwriting or growing the data (a gap left by a
    // position past the end is filled with zero bytes).
    void Write(const void* buffer, std::size_t count);
    void Write(std::string_view text) { Write(text.data(), text.size()); }

    std::size_t Position() const { return position_; }
    void SetPosition(std::size_t position) { position_ = position; }
    std::size_t Size() const { return size_; }
    void Clear();
    void Reserve(std::size_t capacity);

    const char* Data() const { return data_.get(); }
    std::string_view View() const { return {data_.get(), size_}; }

    // The largest file LoadFromFile takes: twice a 1 GB source, far beyond any
    // real one, yet a bound on what a wrongly named file can cost.
    static constexpr std::size_t kMaxFileSize = std::size_t{2} << 30;

    // Replaces the content with the whole file and sets the position to 0.
    // Only a regular file is read (a device or a FIFO could block or never
    // end), and only up to kMaxFileSize bytes. Throws std::runtime_error
    // naming the file and the reason when it cannot be opened or read, is not
    // a regular file or is too large; the content is then unchanged.
    void LoadFromFile(const std::string& fileName);

private:
    // The bytes past size_ are not initialised: a large file or document is
    // written once, and clearing it first would cost as much again.
    struct FreeBytes {
        void operator()(char* bytes) const;
    };
    std::unique_ptr<char[], FreeBytes> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t position_ = 0;
};
