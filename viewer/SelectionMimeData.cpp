#include "SelectionMimeData.h"

#include "RtfQtDocument.h"
#include "RtfWriter.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString RtfType = QStringLiteral("text/rtf");
const QString RtfTypeAlias = QStringLiteral("application/rtf");
const QString HtmlType = QStringLiteral("text/html");
const QString PlainType = QStringLiteral("text/plain");

} // namespace

TSelectionMimeData::TSelectionMimeData(const QTextCursor& selection)
    : selection_(ModelOfRange(*selection.document(), selection.selectionStart(),
                              selection.selectionEnd())) {}

QStringList TSelectionMimeData::formats() const {
    return {RtfType, RtfTypeAlias, HtmlType, PlainType};
}

bool TSelectionMimeData::hasFormat(const QString& mimeType) const {
    return formats().contains(mimeType);
}

QVariant TSelectionMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
    if (mimeType == RtfType || mimeType == RtfTypeAlias) {
        if (!rtf_) {
            const std::string rtf = WriteRtf(selection_);
            rtf_ = QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size()));
        }
        return *rtf_;
    }
    if (mimeType == HtmlType) {
        if (!html_) {
            html_ = BuildQtDocument(selection_)->toHtml();
        }
        return *html_;
    }
    if (mimeType == PlainType) {
        // Paragraph ends are LF already; line breaks become LF too.
        QString plain = QString::fromStdU16String(selection_.Text);
        plain.replace(QChar(kLineBreak), u'\n');
        return plain;
    }
    return QMimeData::retrieveData(mimeType, type);
}
