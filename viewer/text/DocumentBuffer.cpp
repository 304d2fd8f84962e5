#include "viewer/text/DocumentBuffer.h"

#include "platform/MemoryPages.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace {

// The first mapping; each growth doubles it. Pages are only backed by memory
// once written, so an unused tail costs nothing.
constexpr std::size_t kFirstCapacity = std::size_t{1} << 20;

} // namespace

TDocumentBuffer::~TDocumentBuffer() {
    Clear();
}

void TDocumentBuffer::Write(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    if (bytes.size() > capacity_ - size_) {
        std::size_t capacity = std::max(capacity_ * 2, kFirstCapacity);
        while (capacity - size_ < bytes.size()) {
            capacity *= 2;
        }
        // The kernel moves the pages to the larger mapping: nothing is copied,
        // and old and new never both take memory.
        void* grown = data_ == nullptr ? ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                                MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                       : ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
        if (grown == MAP_FAILED) {
            throw std::bad_alloc();
        }
        data_ = static_cast<char*>(grown);
        capacity_ = capacity;
        // Large pages: a few faults for a large document instead of one per page.
        ::madvise(data_, capacity_, MADV_HUGEPAGE);
    }
    std::memcpy(data_ + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
}

void TDocumentBuffer::Release(std::size_t offset) {
    released_ = platform::ReleasePages(data_, released_, std::min(offset, size_));
}

void TDocumentBuffer::Clear() {
    if (data_ != nullptr) {
        ::munmap(data_, capacity_);
    }
    data_ = nullptr;
    size_ = capacity_ = released_ = 0;
}
