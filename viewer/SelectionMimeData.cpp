#include "viewer/SelectionMimeData.h"

#include "viewer/RtfQtDocument.h"
#include "viewer/text/RtfWriter.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString kRtfType = QStringLiteral("text/rtf");
const QString kRtfTypeAlias = QStringLiteral("application/rtf");
const QString kHtmlType = QStringLiteral("text/html");
const QString kPlainType = QStringLiteral("text/plain");

} // namespace

TSelectionMimeData::TSelectionMimeData(const QTextCursor& selection)
    : selection_(ModelOfRange(*selection.document(), selection.selectionStart(),
                              selection.selectionEnd())) {}

QStringList TSelectionMimeData::formats() const {
    return {kRtfType, kRtfTypeAlias, kHtmlType, kPlainType};
}

bool TSelectionMimeData::hasFormat(const QString& mimeType) const {
    return formats().contains(mimeType);
}

QVariant TSelectionMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (mimeType == kRtfType || mimeType == kRtfTypeAlias) {
        if (!rtf_) {
            const std::string rtf = WriteRtf(selection_);
            rtf_ = QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size()));
        }
        return *rtf_;
    }
    if (mimeType == kHtmlType) {
        if (!html_) {
            html_ = BuildQtDocument(selection_)->toHtml();
        }
        return *html_;
    }
    if (mimeType == kPlainType) {
        // Paragraph ends are LF already; line breaks become LF too.
        QString plain = QString::fromStdU16String(selection_.Text);
        plain.replace(QChar(kLineBreak), u'\n');
        return plain;
    }
    return QMimeData::retrieveData(mimeType, type);
}
