#pragma once
// Skipping over bytes that need no care, sixteen at a time: the readers and
// writers of large documents spend most of their time in text between two
// markup bytes, and a byte at a time that costs several instructions each.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace text {

// Sixteen bytes, compared all at once; a comparison gives a mask, with all
// bits set in the bytes where it holds.
using TByteBlock = unsigned char __attribute__((vector_size(16)));
using TByteMask = signed char __attribute__((vector_size(16)));

// The index of the first byte of MASK that is set, or 16 when none is.
inline std::size_t FirstByteSet(TByteMask mask) {
    std::uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    if constexpr (std::endian::native == std::endian::little) {
        if (halves[0] != 0) {
            return static_cast<std::size_t>(std::countr_zero(halves[0])) / 8;
        }
        if (halves[1] != 0) {
            return 8 + static_cast<std::size_t>(std::countr_zero(halves[1])) / 8;
        }
    } else {
        if (halves[0] != 0) {
            return static_cast<std::size_t>(std::countl_zero(halves[0])) / 8;
        }
        if (halves[1] != 0) {
            return 8 + static_cast<std::size_t>(std::countl_zero(halves[1])) / 8;
        }
    }
    return sizeof(TByteMask);
}

// The first position from FROM on whose byte stops the scan, or the size of
// TEXT. BLOCKSTOPS tests a block of sixteen bytes at once, giving the mask of
// those that stop it; STOPS tests one byte, for the last few.
template <typename BlockStops, typename Stops>
std::size_t SkipToStop(std::string_view text, std::size_t from, BlockStops blockStops,
                       Stops stops) {
    constexpr std::size_t kBlock = sizeof(TByteBlock);
    std::size_t at = from;
    for (; at + kBlock <= text.size(); at += kBlock) {
        TByteBlock block;
        std::memcpy(&block, text.data() + at, kBlock);
        const std::size_t first = FirstByteSet(blockStops(block));
        if (first < kBlock) {
            return at + first;
        }
    }
    while (at < text.size() && !stops(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    return at;
}

} // namespace text
