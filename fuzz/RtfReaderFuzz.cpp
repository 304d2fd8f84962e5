// libFuzzer target for the view's document reader: any bytes must read without
// a fault, give a consistent document, and survive a write-and-read-back.

#include "viewer/text/RtfReader.h"
#include "viewer/text/RtfWriter.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// The runs cover the text in order without gaps and name existing formats and fonts.
void CheckConsistent(const TRtfDocument& doc) {
    std::size_t covered = 0;
    for (const TRtfRun& run : doc.Runs) {
        Check(run.Start == covered && run.Length > 0);
        Check(run.Format < doc.Formats.size());
        covered += run.Length;
    }
    Check(covered == doc.Text.size());
    for (const TRtfCharFormat& format : doc.Formats) {
        Check(format.Font < static_cast<int>(doc.Fonts.size()));
    }
    for (char16_t ch : doc.Text) {
        // What Qt would read as structure never appears as text.
        Check(ch != 0 && ch != u'\r' && ch != 0x2029 && ch != 0xFDD0 && ch != 0xFDD1 &&
              ch != 0xFFFC);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TRtfDocument doc = ReadDocument(bytes);
    CheckConsistent(doc);
    const TRtfDocument back = ReadRtf(WriteRtf(doc));
    CheckConsistent(back);
    Check(back.Text == doc.Text);
    return 0;
}
