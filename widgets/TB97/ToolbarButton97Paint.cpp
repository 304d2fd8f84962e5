// The toolbar button's painting: frame, dither pattern, and the layout of
// glyph, caption and arrow.

#include "platform/qt/DitherPattern.h"
#include "platform/qt/QtColor.h"
#include "widgets/TB97/TB97Common.h"
#include "widgets/TB97/ToolbarButton97.h"

#include <QMenu>
#include <QPainter>
#include <optional>

namespace {

// Made on first use; a pixmap cannot exist before the application does.

// Fills the rows of a small triangle pointing down: WIDTH pixels at TOP,
// two fewer on each following row.
void FillArrow(QPainter& painter, int left, int top, int width, TColor color) {
    const QColor qcolor = ToQColor(color);
    for (int row = 0; width > 0; ++row, width -= 2) {
        painter.fillRect(QRect(left + row, top + row, width, 1), qcolor);
    }
}

} // namespace

// ---- painting ----

QSize TToolbarButton97::TextSize(const QRect& inner, int glyphWidth, int arrowWidth) const {
    if (FDisplayMode == dmGlyphOnly || FCaption.isEmpty()) {
        return {0, 0};
    }
    const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight || glyphWidth == 0;
    int width = inner.width() - (horizontal ? arrowWidth : 0);
    int flags = Qt::TextShowMnemonic;
    if (FWordWrap) {
        const int spacing = FSpacing == -1 ? 4 : FSpacing;
        if (glyphWidth > 0 && horizontal) {
            width -= spacing + glyphWidth;
        }
        width -= 2 * (FMargin == -1 ? spacing : FMargin);
        flags |= Qt::TextWordWrap;
    }
    const QRect bounds =
        fontMetrics().boundingRect(QRect(0, 0, std::max(width, 1), 0), flags, FCaption);
    return bounds.size();
}

// One fixed algorithm: the step-by-step layout of glyph, caption and arrow.
TToolbarButton97::TLayoutResult TToolbarButton97::CalcLayout(TButtonState97 state) const {
    const int inset = FFlat ? 1 : 2;
    const QRect r = rect().adjusted(inset, inset, -inset, -inset);
    const QPoint offset = state == bsDown || state == bsExclusive ? QPoint(1, 1) : QPoint(0, 0);
    const QSize g = FDisplayMode != dmTextOnly ? FGlyph.ImageSize() : QSize(0, 0);
    const QSize a = ShowsArrow() ? QSize(9, 3) : QSize(0, 0);
    TButtonLayout layout = FLayout;
    if ((layout == blGlyphTop || layout == blGlyphBottom) && g.isEmpty()) {
        layout = blGlyphLeft;
    }
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const QSize t = TextSize(r, g.width(), a.width());

    QPoint glyph;
    QPoint text;
    QPoint arrow;
    if (horizontal) {
        glyph.setY((r.height() - g.height() + 1) / 2);
        text.setY((r.height() - t.height() + 1) / 2);
    } else {
        glyph.setX((r.width() - g.width() - a.width() + 1) / 2);
        text.setX((r.width() - t.width() + 1) / 2);
    }
    int spacing = FSpacing;
    int margin = FMargin;
    if (t.isEmpty() || g.isEmpty()) {
        spacing = 0;
    }
    const int size = horizontal ? r.width() : r.height();
    const int content = horizontal ? g.width() + t.width() + a.width() : g.height() + t.height();
    if (margin == -1 && spacing == -1) {
        spacing = margin = (size - content) / 3;
    } else if (margin == -1) {
        margin = (size - (spacing + content) + 1) / 2;
    } else if (spacing == -1) {
        spacing = (size - margin - content) / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        glyph.setX(margin);
        text.setX(glyph.x() + g.width() + spacing);
        arrow.setX(text.x() + t.width());
        break;
    case blGlyphRight:
        arrow.setX(r.width() - margin - a.width());
        glyph.setX(arrow.x() - g.width());
        text.setX(glyph.x() - spacing - t.width());
        break;
    case blGlyphTop:
        glyph.setY(margin);
        text.setY(glyph.y() + g.height() + spacing);
        break;
    case blGlyphBottom:
        glyph.setY(r.height() - margin - g.height());
        text.setY(glyph.y() - spacing - t.height());
        break;
    }
    if (!horizontal) {
        arrow.setX(g.isEmpty() ? text.x() + t.width() : glyph.x() + g.width());
    }
    arrow.setY(g.isEmpty() ? text.y() + (t.height() - 3) / 2 : glyph.y() + (g.height() - 3) / 2);
    const QPoint shift = r.topLeft() + offset;
    return {glyph + shift, QRect(text + shift, t), arrow + shift};
}

void TToolbarButton97::PaintFrame(QPainter& painter, TButtonState97 state) {
    const bool downLook = state == bsDown || state == bsExclusive;
    const bool split = IsSplit();
    const bool pressed = downLook && !(split && FMenuIsDown);
    if (!(!FFlat || downLook || (FMouseInControl && state != bsDisabled))) {
        return;
    }
    auto frame = [&](const QRect& r, bool sunken) {
        if (FFlat) {
            tb97::DrawEdge(painter, r, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        } else {
            tb97::DrawEdge(painter, r, sunken ? EDGE_SUNKEN : EDGE_RAISED,
                           BF_SOFT | BF_MIDDLE | BF_RECT);
        }
    };
    if (split) {
        frame(QRect(0, 0, width() - tb97::kMenuPartWidth, height()), pressed);
        frame(QRect(width() - tb97::kMenuPartWidth, 0, tb97::kMenuPartWidth, height()),
              FMenuIsDown);
    } else {
        frame(rect(), pressed);
    }
}

void TToolbarButton97::PaintContent(QPainter& painter, TButtonState97 state) {
    const bool downLook = state == bsDown || state == bsExclusive;
    const bool split = IsSplit();
    if (state == bsExclusive && (!FFlat || !FMouseInControl)) {
        const int inset = FFlat ? 1 : 2;
        painter.fillRect(rect().adjusted(inset, inset, -inset, -inset), QBrush(DitherPattern()));
    }
    // The content of a split button stays put while its menu is down.
    const TButtonState97 layoutState = downLook && split && FMenuIsDown ? bsUp : state;
    const TLayoutResult layout = CalcLayout(layoutState);
    if (FDisplayMode != dmTextOnly) {
        FGlyph.Draw(painter, layout.GlyphPos.x(), layout.GlyphPos.y(), state);
    }
    if (!layout.TextBounds.isEmpty()) {
        const int flags =
            Qt::AlignCenter | Qt::TextShowMnemonic | (FWordWrap ? Qt::TextWordWrap : 0);
        if (state == bsDisabled) {
            painter.setPen(ToQColor(clBtnHighlight));
            painter.drawText(layout.TextBounds.translated(1, 1), flags, FCaption);
            painter.setPen(ToQColor(clBtnShadow));
        } else {
            painter.setPen(palette().color(QPalette::ButtonText));
        }
        painter.drawText(layout.TextBounds, flags, FCaption);
    }
    QPoint arrow = layout.ArrowPos;
    if (split) {
        arrow = QPoint(width() - 13, height() / 2 - 1);
    } else if (!ShowsArrow()) {
        return;
    }
    if (state == bsDisabled) {
        FillArrow(painter, arrow.x() + 5, arrow.y() + 1, 5, clBtnHighlight);
        FillArrow(painter, arrow.x() + 4, arrow.y(), 5, clBtnShadow);
    } else {
        FillArrow(painter, arrow.x() + 4, arrow.y(), 5,
                  FromQColor(palette().color(QPalette::ButtonText)));
    }
}

void TToolbarButton97::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (FOpaque || !FFlat) {
        painter.fillRect(rect(), ToQColor(FColor));
    }
    if (!isEnabled()) {
        FState = bsDisabled;
        FPressed = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    PaintFrame(painter, FState);
    PaintContent(painter, FState);
}
