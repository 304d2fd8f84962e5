#include "platform/qt/FrameControls.h"

#include "platform/MulDiv.h"
#include "platform/SysColors.h"
#include "platform/qt/QtColor.h"

#include <QPainter>
#include <QPixmap>

namespace {

// Two one-pixel rectangles: top-left in one colour, bottom-right in another.
void DrawFrameLine(QPainter& painter, const QRect& rect, TColor topLeft, TColor bottomRight) {
    if (rect.width() <= 0 || rect.height() <= 0) {
        return;
    }
    const QColor tl = ToQColor(topLeft);
    const QColor br = ToQColor(bottomRight);
    painter.fillRect(rect.left(), rect.top(), rect.width(), 1, tl);
    painter.fillRect(rect.left(), rect.top(), 1, rect.height(), tl);
    painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, br);
    painter.fillRect(rect.right(), rect.top(), 1, rect.height(), br);
}

// The glyphs are drawn pixel by pixel, sized from the button's height, so a
// small caption gets a small glyph.
void DrawGlyph(QPainter& painter, const QRect& face, TCaptionGlyph glyph, const QColor& color) {
    // Half the button's height: 7 pixels high, 8 wide on a 14-pixel button.
    const int gh = qMax(3, (face.height() + 4) / 2);
    const int gw = gh + 1;
    const int x0 = face.left() + (face.width() - gw) / 2;
    const int y0 = face.top() + (face.height() - gh) / 2;
    switch (glyph) {
    case TCaptionGlyph::Close:
        for (int i = 0; i < gh; ++i) {
            const int left = x0 + MulDiv(i, gw - 2, gh - 1);
            const int right = x0 + gw - 2 - MulDiv(i, gw - 2, gh - 1);
            painter.fillRect(left, y0 + i, 2, 1, color);
            painter.fillRect(right, y0 + i, 2, 1, color);
        }
        break;
    case TCaptionGlyph::Minimize:
        painter.fillRect(x0, y0 + gh - 2, gw - 2, 2, color);
        break;
    case TCaptionGlyph::Maximize:
        painter.fillRect(x0, y0 - 1, gw + 1, 2, color);
        painter.fillRect(x0, y0 - 1, 1, gh + 1, color);
        painter.fillRect(x0 + gw, y0 - 1, 1, gh + 1, color);
        painter.fillRect(x0, y0 + gh - 1, gw + 1, 1, color);
        break;
    case TCaptionGlyph::Restore: {
        const int bw = gw - 2;
        const int bh = gh - 2;
        // The window behind, then the one in front over it.
        painter.fillRect(x0 + 2, y0 - 1, bw + 1, 2, color);
        painter.fillRect(x0 + 2 + bw, y0 - 1, 1, bh, color);
        painter.fillRect(x0 + 2, y0 - 1, 1, 3, color);
        painter.fillRect(x0 + bw, y0 + bh - 2, 3, 1, color);
        const int fy = y0 + 2;
        painter.fillRect(x0, fy, bw + 1, 2, color);
        painter.fillRect(x0, fy, 1, bh + 1, color);
        painter.fillRect(x0 + bw, fy, 1, bh + 1, color);
        painter.fillRect(x0, fy + bh, bw + 1, 1, color);
        break;
    }
    case TCaptionGlyph::Help: {
        QFont font = painter.font();
        font.setPixelSize(face.height() - 3);
        font.setBold(true);
        painter.save();
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(face, Qt::AlignCenter, QStringLiteral("?"));
        painter.restore();
        break;
    }
    }
}

} // namespace

void DrawRaisedEdge(QPainter& painter, const QRect& rect) {
    DrawFrameLine(painter, rect, cl3DLight, cl3DDkShadow);
    DrawFrameLine(painter, rect.adjusted(1, 1, -1, -1), clBtnHighlight, clBtnShadow);
}

void DrawSunkenEdge(QPainter& painter, const QRect& rect) {
    DrawFrameLine(painter, rect, clBtnShadow, clBtnHighlight);
    DrawFrameLine(painter, rect.adjusted(1, 1, -1, -1), cl3DDkShadow, cl3DLight);
}

void DrawCaptionButton(QPainter& painter, const QRect& rect, TCaptionGlyph glyph, bool pressed,
                       bool inactive) {
    if (rect.width() <= 0 || rect.height() <= 0) {
        return;
    }
    painter.fillRect(rect, ToQColor(clBtnFace));
    if (pressed) {
        DrawSunkenEdge(painter, rect);
    } else {
        DrawRaisedEdge(painter, rect);
    }
    const QRect face = rect.adjusted(2, 2, -2, -2).translated(pressed ? 1 : 0, pressed ? 1 : 0);
    if (inactive) {
        // Embossed: a highlight one pixel down and right, the shadow on top.
        DrawGlyph(painter, face.translated(1, 1), glyph, ToQColor(clBtnHighlight));
        DrawGlyph(painter, face, glyph, ToQColor(clBtnShadow));
    } else {
        DrawGlyph(painter, face, glyph, ToQColor(clBtnText));
    }
}

QIcon StandardApplicationIcon() {
    // A plain window: white client, a caption in the active-caption colour.
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const int m = size / 8;
        const QRect outer(m, m, size - 2 * m, size - 2 * m);
        painter.fillRect(outer, Qt::black);
        painter.fillRect(outer.adjusted(1, 1, -1, -1), Qt::white);
        painter.fillRect(outer.left() + 1, outer.top() + 1, outer.width() - 2, size / 5,
                         ToQColor(clActiveCaption));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
