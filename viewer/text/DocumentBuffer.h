#pragma once
// The engine's document on its way into the view: collected as the engine
// writes it, then read once from front to back. It grows without copying
// what it holds, and hands the memory of what the reader has passed back to
// the system, so that a large document and the view's model of it are never
// both held whole.

#include "engine/ByteSink.h"

#include <cstddef>
#include <string_view>

class TDocumentBuffer : public TByteSink {
public:
    TDocumentBuffer() = default;
    TDocumentBuffer(const TDocumentBuffer&) = delete;
    TDocumentBuffer& operator=(const TDocumentBuffer&) = delete;
    ~TDocumentBuffer() override;

    // Throws std::bad_alloc when the system has no memory for the document.
    void Write(std::string_view bytes) override;

    // Everything written, the released part included (see Release).
    std::string_view View() const { return {data_, size_}; }
    std::size_t Size() const { return size_; }

    // The bytes before OFFSET are no longer needed: their whole pages go back
    // to the system and read as zero bytes afterwards.
    void Release(std::size_t offset);
    // Frees all of it; the buffer is empty again.
    void Clear();

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0; // bytes mapped
    std::size_t released_ = 0; // bytes from the start given back
};
