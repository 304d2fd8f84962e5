#include "platform/SysColors.h"

#include <array>
#include <atomic>

namespace {

constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}

// The classic desktop scheme, in system-colour number order.
constexpr std::array<std::uint32_t, kSysColorCount> kClassicColors = {
    Rgb(192, 192, 192), //  0 scroll bar
    Rgb(0, 128, 128),   //  1 background (desktop)
    Rgb(0, 0, 128),     //  2 active caption
    Rgb(128, 128, 128), //  3 inactive caption
    Rgb(192, 192, 192), //  4 menu
    Rgb(255, 255, 255), //  5 window
    Rgb(0, 0, 0),       //  6 window frame
    Rgb(0, 0, 0),       //  7 menu text
    Rgb(0, 0, 0),       //  8 window text
    Rgb(255, 255, 255), //  9 caption text
    Rgb(192, 192, 192), // 10 active border
    Rgb(192, 192, 192), // 11 inactive border
    Rgb(128, 128, 128), // 12 app workspace
    Rgb(0, 0, 128),     // 13 highlight
    Rgb(255, 255, 255), // 14 highlight text
    Rgb(192, 192, 192), // 15 button face
    Rgb(128, 128, 128), // 16 button shadow
    Rgb(128, 128, 128), // 17 grey text
    Rgb(0, 0, 0),       // 18 button text
    Rgb(192, 192, 192), // 19 inactive caption text
    Rgb(255, 255, 255), // 20 button highlight
    Rgb(0, 0, 0),       // 21 3D dark shadow
    Rgb(223, 223, 223), // 22 3D light
    Rgb(0, 0, 0),       // 23 info text
    Rgb(255, 255, 225), // 24 info background
};

// Written once by the GUI thread at start, read by the converter's worker:
// relaxed atomics keep each read a whole value without a lock.
// Atomics cannot be copied out of a builder, so the table is filled in place.
std::array<std::atomic<std::uint32_t>, kSysColorCount> Current;
[[maybe_unused]] const bool CurrentFilled = [] {
    for (int i = 0; i < kSysColorCount; ++i) {
        Current[i].store(kClassicColors[i], std::memory_order_relaxed);
    }
    return true;
}();

bool InRange(int index) {
    return index >= 0 && index < kSysColorCount;
}

} // namespace

std::uint32_t GetSysColor(int index) {
    return InRange(index) ? Current[index].load(std::memory_order_relaxed) : 0;
}

void SetSysColor(int index, std::uint32_t bgr) {
    if (InRange(index)) {
        Current[index].store(bgr & 0xFFFFFFu, std::memory_order_relaxed);
    }
}

void ResetSysColors() {
    for (int i = 0; i < kSysColorCount; ++i) {
        Current[i].store(kClassicColors[i], std::memory_order_relaxed);
    }
}
