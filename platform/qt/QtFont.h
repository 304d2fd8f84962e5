#pragma once
// The one bridge from the window system's font descriptions to Qt's.

#include "platform/SystemMetrics.h"

#include <QFont>
#include <QString>

// A negative height is the character height in pixels, a positive one the
// cell height; 0 leaves Qt's default size. Bold above weight 500.
inline QFont ToQFont(const TLogFont& logFont) {
    QFont font(QString::fromStdString(logFont.FaceName));
    if (logFont.Height != 0) {
        font.setPixelSize(logFont.Height < 0 ? -logFont.Height : logFont.Height);
    }
    font.setBold(logFont.Weight > 500);
    font.setItalic(logFont.Italic);
    return font;
}
