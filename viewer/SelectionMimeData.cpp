#include "viewer/SelectionMimeData.h"

#include "viewer/text/HtmlWriter.h"
#include "viewer/text/RtfRange.h"
#include "viewer/text/RtfWriter.h"

namespace {

const QString kRtfType = QStringLiteral("text/rtf");
const QString kRtfTypeAlias = QStringLiteral("application/rtf");
const QString kHtmlType = QStringLiteral("text/html");
const QString kPlainType = QStringLiteral("text/plain");

} // namespace

TSelectionMimeData::TSelectionMimeData(std::shared_ptr<const TViewDocument> document,
                                       std::uint32_t from, std::uint32_t to)
    : document_(std::move(document)), from_(from), to_(to) {}

QStringList TSelectionMimeData::formats() const {
    return {kRtfType, kRtfTypeAlias, kHtmlType, kPlainType};
}

bool TSelectionMimeData::hasFormat(const QString& mimeType) const {
    return formats().contains(mimeType);
}

const TRtfDocument& TSelectionMimeData::Selection() const {
    if (!selection_) {
        selection_ = DocumentRange(document_->Model, from_, to_);
    }
    return *selection_;
}

QVariant TSelectionMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (mimeType == kRtfType || mimeType == kRtfTypeAlias) {
        if (!rtf_) {
            const std::string rtf = WriteRtf(Selection());
            rtf_ = QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size()));
        }
        return *rtf_;
    }
    if (mimeType == kHtmlType) {
        if (!html_) {
            const std::string html = WriteHtml(Selection());
            html_ = QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size()));
        }
        return *html_;
    }
    if (mimeType == kPlainType) {
        // Paragraph ends are LF already; line breaks become LF too.
        const TDocText& text = document_->Model.Text;
        const std::size_t to = std::min<std::size_t>(to_, text.size());
        const std::size_t from = std::min<std::size_t>(from_, to);
        QString plain = Characters(text, from, to);
        plain.replace(QChar(kLineBreak), u'\n');
        return plain;
    }
    return QMimeData::retrieveData(mimeType, type);
}
