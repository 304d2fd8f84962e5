#pragma once
// The platform's 20-entry default palette: the 16 basic colours, with four
// reserved entries (8 to 11) between the dark and the bright half. The colour
// grid shows entries 0 to 7 and 12 to 19.

#include <array>
#include <cstdint>

struct TPaletteEntry {
    std::uint8_t Red;
    std::uint8_t Green;
    std::uint8_t Blue;
    std::uint8_t Flags;
};

inline constexpr std::array<TPaletteEntry, 20> DefaultPalette = {{
    {0, 0, 0, 0},       // black
    {128, 0, 0, 0},     // maroon
    {0, 128, 0, 0},     // green
    {128, 128, 0, 0},   // olive
    {0, 0, 128, 0},     // navy
    {128, 0, 128, 0},   // purple
    {0, 128, 128, 0},   // teal
    {192, 192, 192, 0}, // silver
    {192, 220, 192, 0}, // reserved: money green
    {166, 202, 240, 0}, // reserved: sky blue
    {255, 251, 240, 0}, // reserved: cream
    {160, 160, 164, 0}, // reserved: medium grey
    {128, 128, 128, 0}, // gray
    {255, 0, 0, 0},     // red
    {0, 255, 0, 0},     // lime
    {255, 255, 0, 0},   // yellow
    {0, 0, 255, 0},     // blue
    {255, 0, 255, 0},   // fuchsia
    {0, 255, 255, 0},   // aqua
    {255, 255, 255, 0}, // white
}};
