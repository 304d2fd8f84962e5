// Plain text into the view's model: the fallback for data that is not RTF.

#include "viewer/text/CodePage.h"
#include "viewer/text/RtfReader.h"

namespace {

// UTF-8 where the bytes are, each other byte its Windows-1252 character.
std::u16string DecodeMostlyUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const std::size_t length = Utf8CharAt(bytes, i, cp);
        if (length == 0) {
            out.push_back(DecodeWindows1252(static_cast<unsigned char>(bytes[i])));
            ++i;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
            i += length;
        } else {
            out.push_back(static_cast<char16_t>(cp));
            i += length;
        }
    }
    return out;
}

} // namespace

TRtfDocument ReadPlainText(std::string_view data) {
    // UTF-8 when all of it is; a byte order mark says so whatever the rest
    // holds, and is no character itself. Else Windows-1252.
    std::u16string decoded;
    if (data.starts_with("\xEF\xBB\xBF")) {
        decoded = DecodeMostlyUtf8(data.substr(3));
    } else if (!DecodeUtf8(data, decoded)) {
        decoded = DecodeWindows1252(data);
    }
    TRtfDocument doc;
    doc.Text.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const char16_t ch = decoded[i];
        if (ch == u'\r') {
            if (i + 1 < decoded.size() && decoded[i + 1] == u'\n') {
                ++i;
            }
            doc.Text.push_back(kParagraphEnd);
        } else if (ch != 0) {
            doc.Text.push_back(text::SafeChar(ch));
        }
    }
    // Shown like the engine's documents, in the code font, so that a change of
    // the view's own font does not reach it.
    TRtfCharFormat format;
    format.Font = doc.FontIndex({kCodeFontName, true});
    format.SizeHalfPoints = kCodeFontHalfPoints;
    doc.Formats.push_back(format);
    if (!doc.Text.empty()) {
        doc.Runs.push_back({0, static_cast<std::uint32_t>(doc.Text.size()), 0});
    }
    return doc;
}
