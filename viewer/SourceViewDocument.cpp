#include "viewer/SourceViewDocument.h"

#include "viewer/text/RtfReader.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <malloc.h>

QString Characters(const TDocText& text, std::size_t from, std::size_t to) {
    const auto count = static_cast<qsizetype>(to - from);
    if (text.IsWide()) {
        return QString::fromUtf16(text.WideData() + from, count);
    }
    return QString::fromLatin1(reinterpret_cast<const char*>(text.NarrowData() + from), count);
}

QFont CodeFont() {
    QFont font(QString::fromLatin1(kCodeFontName));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(kCodeFontHalfPoints / 2.0);
    // Code needs no shaping or kerning, and each glyph then keeps its cell.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setKerning(false);
    return font;
}

QFont FontOf(const TRtfDocument& doc, const TRtfCharFormat& format) {
    QFont font = CodeFont();
    if (format.Font >= 0 && static_cast<std::size_t>(format.Font) < doc.Fonts.size()) {
        const TRtfFont& face = doc.Fonts[static_cast<std::size_t>(format.Font)];
        font = QFont(QString::fromStdString(face.Name));
        if (face.FixedPitch) {
            font.setStyleHint(QFont::TypeWriter);
            font.setFixedPitch(true);
            font.setStyleStrategy(QFont::PreferNoShaping);
            font.setKerning(false);
        }
    }
    font.setPointSizeF(format.SizeHalfPoints / 2.0);
    font.setBold(format.Bold);
    font.setItalic(format.Italic);
    font.setUnderline(format.Underline);
    font.setStrikeOut(format.Strike);
    return font;
}

QFont DeviceFont(QFont font, int dpi) {
    if (dpi > 0 && font.pointSizeF() > 0) {
        font.setPixelSize(
            std::max(1, static_cast<int>(std::lround(font.pointSizeF() * dpi / 72.0))));
    }
    return font;
}

namespace {

// Advance of one cell: measured over many, as a line lays them out.
double CellAdvance(const QFont& font, int dpi) {
    const QFontMetricsF metrics(DeviceFont(font, dpi));
    return metrics.horizontalAdvance(QString(64, u'M')) / 64.0;
}

} // namespace

TFixedPitch FixedPitchOf(const TRtfDocument& doc, int dpi) {
    const TRtfCharFormat first = doc.Formats.empty() ? TRtfCharFormat{} : doc.Formats.front();
    TRtfCharFormat plain = first;
    plain.Bold = plain.Italic = plain.Underline = plain.Strike = false;
    const QFont base = FontOf(doc, plain);
    if (doc.Formats.empty() ? false : !QFontInfo(base).fixedPitch()) {
        return {};
    }
    const double cell = CellAdvance(base, dpi);
    for (const TRtfCharFormat& f : doc.Formats) {
        if (f.Font != first.Font || f.SizeHalfPoints != first.SizeHalfPoints || f.Vertical != 0) {
            return {};
        }
        if ((f.Bold || f.Italic) && std::abs(CellAdvance(FontOf(doc, f), dpi) - cell) > 1e-6) {
            return {};
        }
    }
    return {cell, doc.DefaultTabTwips / 1440.0 * dpi};
}

std::shared_ptr<const TViewDocument> BuildViewDocument(TRtfDocument model, int dpi) {
    auto doc = std::make_shared<TViewDocument>();
    doc->Model = std::move(model);
    doc->Lines = TLineIndex(doc->Model.Text, FixedPitchOf(doc->Model, dpi));
    doc->Dpi = dpi;
    // What the load freed on the way goes back to the system, not only to the heap.
    malloc_trim(0);
    return doc;
}

std::shared_ptr<const TViewDocument> BuildViewDocument(std::string_view data, int dpi,
                                                       const std::function<void()>& dataRead,
                                                       const TStopRequest& stop) {
    TRtfDocument model = ReadDocument(data, stop);
    if (dataRead) {
        dataRead();
    }
    CheckStopRequest(stop);
    return BuildViewDocument(std::move(model), dpi);
}

std::shared_ptr<const TViewDocument> BuildViewDocument(TDocumentBuffer& rtf, int dpi,
                                                       const TStopRequest& stop) {
    TRtfDocument model =
        ReadDocument(rtf.View(), stop, [&rtf](std::size_t offset) { rtf.Release(offset); });
    rtf.Clear();
    CheckStopRequest(stop);
    return BuildViewDocument(std::move(model), dpi);
}
