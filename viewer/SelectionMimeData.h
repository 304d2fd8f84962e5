#pragma once
// The selection as the clipboard carries it: RTF (our writer), HTML and plain
// text. Only the selection's text and formats are taken at once; RTF and HTML
// are made when a program asks for them (the X selection takes a copy at
// every select-all, and few of those are ever pasted).

#include "viewer/text/RtfDocument.h"

#include <QMimeData>
#include <QString>
#include <optional>

class QTextCursor;

class TSelectionMimeData : public QMimeData {
    Q_OBJECT
public:
    explicit TSelectionMimeData(const QTextCursor& selection);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    // A copy: the view may show another document by the time of the paste.
    TRtfDocument selection_;
    mutable std::optional<QByteArray> rtf_;
    mutable std::optional<QString> html_;
};
