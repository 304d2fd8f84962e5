#include "platform/MemoryPages.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace platform {

std::size_t ReleasePages(const char* base, std::size_t from, std::size_t to) {
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(base + from) + page - 1) / page * page;
    const auto last = reinterpret_cast<std::uintptr_t>(base + to) / page * page;
    if (first >= last) {
        return from;
    }
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
    return static_cast<std::size_t>(last - reinterpret_cast<std::uintptr_t>(base));
}

} // namespace platform
