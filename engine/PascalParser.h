#pragma once
// The highlighting engine: Pascal source in, syntax-coloured RTF document out.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ColorScheme.h"
#include "MemoryStream.h"

// The six source-file extensions the engine converts, compared lower-cased.
extern const std::array<std::string_view, 6> SourceExtensions;
// The 68 keywords, upper case, in ascending byte order.
extern const std::array<std::string_view, 68> Keywords;

// True when the file name's extension is one of SourceExtensions.
bool IsSourceFileName(std::string_view fileName);

// Converts FILENAME into the RTF document, written to DEST (which the caller
// owns and hands in empty). Throws std::runtime_error("Unknown file extension")
// for a file that is not Pascal source, or an error naming the file when it
// cannot be read; DEST is untouched in both cases. Leaves DEST's position at 0.
void ConvertFile(const std::string& fileName, TMemoryStream& dest);

class TPascalParser {
public:
    void Convert(const std::string& fileName, TMemoryStream& dest);
    void LoadColors();  // from HKCU\Software\QD\Lumivane\Pascal into ColorSlots
    void SaveColors();  // all seven slots back to the store
    // (the readers, PeekChar, IsKeyword, BuildHeader follow in the implementation)
};
