#include "viewer/glyphs/Glyphs.h"

#include <stdexcept>

QImage ToolbarGlyph(const QString& name) {
    QImage glyph(QStringLiteral(":/glyphs/%1.bmp").arg(name));
    if (glyph.isNull()) {
        throw std::runtime_error("No toolbar glyph named \"" + name.toStdString() + "\"");
    }
    return glyph;
}
