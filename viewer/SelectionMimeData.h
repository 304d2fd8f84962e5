#pragma once
// The selection as the clipboard carries it: RTF (our writer), HTML and plain
// text. Taking a copy costs nothing: the document shown is never changed, so
// the copy shares it and notes the range; RTF, HTML and text are made when a
// program asks for them (the X selection takes a copy at every select-all,
// and few of those are ever pasted).

#include "viewer/SourceViewDocument.h"

#include <QMimeData>
#include <QString>
#include <memory>
#include <optional>

class TSelectionMimeData : public QMimeData {
    Q_OBJECT
public:
    TSelectionMimeData(std::shared_ptr<const TViewDocument> document, std::uint32_t from,
                       std::uint32_t to);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    const TRtfDocument& Selection() const;

    // Kept alive here: the view may show another document by the time of the paste.
    std::shared_ptr<const TViewDocument> document_;
    std::uint32_t from_;
    std::uint32_t to_;
    mutable std::optional<TRtfDocument> selection_;
    mutable std::optional<QByteArray> rtf_;
    mutable std::optional<QString> html_;
};
