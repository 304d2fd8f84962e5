// Plain text into the view's model: the fallback for data that is not RTF.

#include "viewer/text/CodePage.h"
#include "viewer/text/RtfReader.h"

TRtfDocument ReadPlainText(std::string_view data) {
    std::u16string decoded;
    std::string_view body = data;
    if (body.starts_with("\xEF\xBB\xBF")) {
        body.remove_prefix(3);
    }
    if (!DecodeUtf8(body, decoded)) {
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
