#include "widgets/explbtn/ExplorerLayout.h"

#include <algorithm>

namespace {

// Room the popup mark takes beside the bitmap or the text.
constexpr int kMarkRoom = 10;
constexpr int kMargin = 3;

// Every division of the layout rounds toward zero, as C++ integer division does.
int Aligned(TAlignment alignment, int width, int block) {
    switch (alignment) {
    case TAlignment::taLeftJustify:
        return kMargin;
    case TAlignment::taRightJustify:
        return width - block - kMargin;
    case TAlignment::taCenter:
        break;
    }
    return (width - block) / 2;
}

} // namespace

TExplorerLayoutResult LayoutExplorerButton(const TExplorerLayoutInput& in) {
    const int w = in.Width;
    const int h = in.Height;
    const bool hasBitmap = !in.BitmapSize.isEmpty();
    const int bw = hasBitmap ? in.BitmapSize.width() : 0;
    const int bh = hasBitmap ? in.BitmapSize.height() : 0;
    const int bw2 = in.Mark ? bw + kMarkRoom : bw;

    int gap = 0;
    int tw = 0;
    int th = 0;
    if (in.ShowCaption && in.MeasureText) {
        gap = 2;
        const QSize text = in.MeasureText(w - 4);
        tw = std::min(text.width(), w - 4);
        th = text.height();
    }

    TExplorerLayoutResult out;
    int textLeft = 0;
    int textTop = 0;
    if (!hasBitmap) {
        int block = tw;
        if (in.Mark) {
            tw = std::min(tw, w - 14);
            block = tw + kMarkRoom;
        }
        textTop = (h - th) / 2;
        textLeft = Aligned(in.Alignment, w, block);
    } else if (in.Layout == TExplorerButtonLayout::blBitmapTop ||
               in.Layout == TExplorerButtonLayout::blBitmapBottom) {
        if (in.Layout == TExplorerButtonLayout::blBitmapTop) {
            out.BitmapPos.setY((h - th - bh - gap) / 2);
            textTop = out.BitmapPos.y() + bh + gap;
        } else {
            textTop = (h - th - bh - gap) / 2;
            out.BitmapPos.setY(textTop + th + gap);
        }
        out.BitmapPos.setX(Aligned(in.Alignment, w, bw2));
        textLeft = Aligned(in.Alignment, w, tw);
    } else {
        // Never below zero: a narrow button must not push its bitmap aside
        // for text it does not have room for.
        if (tw + bw2 + gap > w - 4) {
            tw = std::max(w - gap - bw2 - 4, 0);
        }
        out.BitmapPos.setY((h - bh) / 2);
        textTop = (h - th) / 2;
        const bool bitmapLeft = in.Layout == TExplorerButtonLayout::blBitmapLeft;
        switch (in.Alignment) {
        case TAlignment::taLeftJustify:
            if (bitmapLeft) {
                out.BitmapPos.setX(kMargin);
                textLeft = kMargin + bw2 + gap;
            } else {
                textLeft = kMargin;
                out.BitmapPos.setX(tw + kMargin + gap);
            }
            break;
        case TAlignment::taRightJustify:
            if (bitmapLeft) {
                textLeft = w - tw - kMargin;
                out.BitmapPos.setX(textLeft - bw2 - gap);
            } else {
                out.BitmapPos.setX(w - bw2 - kMargin);
                textLeft = out.BitmapPos.x() - tw - gap;
            }
            break;
        case TAlignment::taCenter:
            if (bitmapLeft) {
                out.BitmapPos.setX((w - tw - bw2 - gap) / 2);
                textLeft = out.BitmapPos.x() + bw2 + gap;
            } else {
                textLeft = (w - tw - bw2 - gap) / 2;
                out.BitmapPos.setX(textLeft + tw + gap);
            }
            break;
        }
    }
    if (in.WordWrap && textLeft + tw > w - 5) {
        tw = w - textLeft - 5;
    }
    out.TextRect = QRect(textLeft, textTop, std::max(tw, 0), th);
    return out;
}
