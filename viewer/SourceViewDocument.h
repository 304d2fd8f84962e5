#pragma once
// What the view shows: the reader's document as it is, and its line index.
// Built in one go, on any thread; never changed afterwards, so a copy of the
// selection can share it.

#include "engine/StopRequest.h"
#include "viewer/text/DocumentBuffer.h"
#include "viewer/text/LineIndex.h"
#include "viewer/text/RtfDocument.h"

#include <QFont>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

struct TViewDocument {
    TRtfDocument Model;
    TLineIndex Lines;
    int Dpi = 0; // the device resolution the line index was measured for
};

// Characters [FROM, TO) of TEXT as a QString, from either width.
QString Characters(const TDocText& text, std::size_t from, std::size_t to);

// The code font: what runs without a font of their own are shown in.
QFont CodeFont();
// The font of FORMAT in DOC, at the format's size.
QFont FontOf(const TRtfDocument& doc, const TRtfCharFormat& format);
// FONT at the pixel size its point size has at DPI dots per inch: the view
// measures and draws at that one size.
QFont DeviceFont(QFont font, int dpi);
// Cell advance and tab distance of DOC's code font for a device of DPI
// dots per inch (horizontally), or zero when DOC's formats do not all share one
// fixed-pitch font at one size.
TFixedPitch FixedPitchOf(const TRtfDocument& doc, int dpi);

// The document of DATA (RTF, else plain text) with its line index, measured
// for DPI. Touches no widget, so it runs on a worker thread too. DATAREAD,
// when given, runs once DATA is no longer needed: the caller can free it
// before the text is trimmed to its size. STOP, when given, can end the build
// with EConversionCancelled (see TStopRequest).
std::shared_ptr<const TViewDocument> BuildViewDocument(std::string_view data, int dpi,
                                                       const std::function<void()>& dataRead = {},
                                                       const TStopRequest& stop = {});
// The same for the engine's document in RTF: the buffer's memory goes as it is
// read, and the buffer is empty afterwards.
std::shared_ptr<const TViewDocument> BuildViewDocument(TDocumentBuffer& rtf, int dpi,
                                                       const TStopRequest& stop = {});
// The same for a model read already.
std::shared_ptr<const TViewDocument> BuildViewDocument(TRtfDocument model, int dpi);
