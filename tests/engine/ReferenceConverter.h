#pragma once
// A deliberately plain converter that follows the scanning rules step by step:
// one byte per stream read, one-byte look-ahead by stepping back, run tokens
// re-read from their start, keywords found by bisection. The engine must give
// the same bytes for every input.

#include <array>
#include <string>
#include <string_view>

// The keyword table as the rules list it, typed independently of the engine's.
extern const std::array<std::string_view, 68> kReferenceKeywords;

bool ReferenceIsKeyword(std::string_view word);

// The document body (between header and trailer) of SOURCE.
std::string ReferenceBody(std::string_view source);
