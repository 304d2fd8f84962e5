#pragma once
// The 25 system colours (numbers 0..24), as 0x00BBGGRR values. Headless code
// sees the classic defaults; the viewer replaces them from its palette at start.

#include <cstdint>

constexpr int kSysColorCount = 25;

std::uint32_t GetSysColor(int index);           // 0 for a number out of range
void SetSysColor(int index, std::uint32_t bgr); // ignored for a number out of range
void ResetSysColors();                          // back to the classic defaults
