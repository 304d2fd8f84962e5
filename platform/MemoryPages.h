#pragma once
// Giving memory that will not be read again back to the system while the
// block that holds it lives on: a large input is let go of as it is passed.

#include <cstddef>

namespace platform {

// Gives the whole pages of BASE's bytes [FROM, TO) back to the system; they
// read as zeros afterwards. Returns the offset up to which pages are gone
// (FROM when no whole page lies between).
std::size_t ReleasePages(const char* base, std::size_t from, std::size_t to);

} // namespace platform
