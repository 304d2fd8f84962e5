#pragma once
// Replacing a file so that readers see the old content or the new, never a
// part: the bytes go to a temporary file beside the target, which is renamed
// over it once complete.

#include <string>
#include <string_view>

// Throws std::runtime_error naming PATH and the reason; the temporary file is
// removed then, and an existing PATH is left as it was.
void WriteFileAtomically(const std::string& path, std::string_view content);
