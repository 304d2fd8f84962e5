#include "viewer/text/RtfTextDecoder.h"

namespace {

constexpr int kUtf8CodePage = 65001;

} // namespace

namespace text {

// The engine copies its source's bytes, and the source is most often UTF-8.
TRtfTextDecoder::TRtfTextDecoder(std::string_view data)
    : utf8Valid_(ClassifyEightBitText(data) == TEightBitText::kUtf8), utf8Text_(utf8Valid_) {}

void TRtfTextDecoder::NameCodePage(int number) {
    if (number <= 0) {
        return;
    }
    namedCodePage_ = number;
    utf8Text_ = number == kUtf8CodePage && utf8Valid_;
    if (number != ansi_->Number() && number != kUtf8CodePage) {
        ansi_ = codePages_.Numbered(number); // tables are kept: documents may switch back
    }
}

bool TRtfTextDecoder::TakeByteOrderMark(std::string_view bytes) {
    if (byteOrderMarkSeen_ || ucSkip_ > 0 ||
        (namedCodePage_ != 0 && namedCodePage_ != kUtf8CodePage) ||
        bytes.substr(0, 3) != "\xEF\xBB\xBF") {
        return false;
    }
    byteOrderMarkSeen_ = true;
    utf8Valid_ = true;
    utf8Text_ = true;
    return true;
}

} // namespace text
