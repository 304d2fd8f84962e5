#pragma once
// The texts the about box shows about the program and its authors.

namespace settings {

inline constexpr const char* kProgramName = "Lumivane 98";
inline constexpr const char* kRelease = "Release: 98.3";
// UTF-8.
inline constexpr const char* kCopyright = "Copyright \u00A9 1998\u20132026 the Lumivane 98 authors";
inline constexpr const char* kAuthorEMail = "lumivane@example.org";
// Without a scheme: the link puts "http://" in front.
inline constexpr const char* kAuthorWeb = "lumivane.example.org/";

} // namespace settings
