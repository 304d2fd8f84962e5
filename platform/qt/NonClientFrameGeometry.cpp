#include "platform/qt/NonClientFrameGeometry.h"

#include "platform/SystemMetrics.h"

#include <QApplication>
#include <QWidget>

namespace {

// Buttons are a caption button's width apart, the close button and the help
// button two pixels more.
constexpr int kButtonGap = 2;
// The icon sits one pixel into the text rectangle and one more into its own
// box, and the text starts one pixel after it.
constexpr int kIconInset = 1;

TCaptionGlyph GlyphIn(const TCaptionButtonKind& kind, const TCaptionState& state) {
    const bool restores = (kind.RestoresFrom == Qt::WindowMaximized && state.Maximized) ||
                          (kind.RestoresFrom == Qt::WindowMinimized && state.Minimized);
    return restores ? TCaptionGlyph::Restore : kind.Glyph;
}

TRect BarOf(const TCaptionState& state) {
    if (state.BorderStyle == bsNone) {
        return {};
    }
    // A minimised window keeps only the fixed frame around its caption.
    const QSize inset =
        state.Minimized ? FrameThickness(bsDialog) : FrameThickness(state.BorderStyle);
    const int top = inset.height();
    return TRect{inset.width(), top, state.Width - inset.width(),
                 top + CaptionHeight(state.BorderStyle) - 1};
}

TRect TextOf(const TRect& bar, TCaptionButtons buttons, int buttonWidth) {
    TRect text = bar;
    for (const TCaptionButtonKind& kind : kCaptionButtonKinds) {
        if ((buttons & kind.Button) != 0) {
            const bool gapped = kind.Button == cbClose || kind.Button == cbHelp;
            text.Right -= buttonWidth + (gapped ? kButtonGap : 0);
        }
    }
    if (text.Left >= text.Right) {
        text.Right = text.Left + 2;
    }
    return text;
}

} // namespace

bool IsToolWindowStyle(TFormBorderStyle style) {
    return style == bsToolWindow || style == bsSizeToolWin;
}

bool IsSizeableStyle(TFormBorderStyle style) {
    return style == bsSizeable || style == bsSizeToolWin;
}

TCaptionButtons StandardCaptionButtons(TFormBorderStyle style, TBorderIcons icons) {
    if (style == bsNone || (icons & biSystemMenu) == 0) {
        return 0;
    }
    if (IsToolWindowStyle(style)) {
        return cbClose;
    }
    TCaptionButtons buttons = cbClose;
    const bool help = (icons & biHelp) != 0;
    const bool minOrMax = (icons & (biMinimize | biMaximize)) != 0;
    if ((style == bsDialog && help) ||
        ((style == bsSingle || style == bsSizeable) && help && !minOrMax)) {
        buttons |= cbHelp;
    }
    if (style != bsDialog && minOrMax) {
        buttons |= cbMinimize | cbMaximize;
    }
    return buttons;
}

TRect CaptionButtonRect(const TRect& bar, int buttonWidth, TCaptionButtons present,
                        TCaptionButton button) {
    if ((present & button) == 0) {
        return {};
    }
    const TRect inset{bar.Left + 2, bar.Top + 2, bar.Right - 2, bar.Bottom - 2};
    const int width = buttonWidth - 2;
    int right = inset.Right;
    bool first = true;
    for (const TCaptionButtonKind& kind : kCaptionButtonKinds) {
        if ((present & kind.Button) == 0) {
            continue;
        }
        if (!first && right == inset.Right - width) {
            right -= kButtonGap; // between the close button and the rest
        }
        if (kind.Button == button) {
            return TRect{right - width, inset.Top, right, inset.Bottom};
        }
        right -= width;
        first = false;
    }
    return {};
}

QSize FrameThickness(TFormBorderStyle style) {
    if (style == bsNone) {
        return QSize(0, 0);
    }
    if (IsSizeableStyle(style)) {
        return QSize(GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
    }
    return QSize(GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME));
}

int CaptionHeight(TFormBorderStyle style) {
    if (style == bsNone) {
        return 0;
    }
    return GetSystemMetrics(IsToolWindowStyle(style) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

const TCaptionButtonKind* CaptionButtonKindAt(int hitTest) {
    for (const TCaptionButtonKind& kind : kCaptionButtonKinds) {
        if (kind.HitTest == hitTest) {
            return &kind;
        }
    }
    return nullptr;
}

const TCaptionButtonPlace* TCaptionLayout::ButtonAt(int hitTest) const {
    for (const TCaptionButtonPlace& place : Places) {
        if (place.Kind->HitTest == hitTest) {
            return &place;
        }
    }
    return nullptr;
}

TCaptionLayout LayOutCaption(const TCaptionState& state) {
    TCaptionLayout layout;
    layout.Bar = BarOf(state);
    if (state.BorderStyle == bsNone) {
        return layout;
    }
    layout.ButtonWidth =
        GetSystemMetrics(IsToolWindowStyle(state.BorderStyle) ? SM_CXSMSIZE : SM_CXSIZE);
    layout.Buttons = StandardCaptionButtons(state.BorderStyle, state.BorderIcons);
    layout.Text = TextOf(layout.Bar, layout.Buttons, layout.ButtonWidth);
    layout.TitleText = layout.Text;
    layout.HasIcon = (state.BorderIcons & biSystemMenu) != 0 &&
                     (state.BorderStyle == bsSingle || state.BorderStyle == bsSizeable);
    if (layout.HasIcon) {
        // Where a small-icon metric is 0 the caption button's size stands in.
        const int cx = GetSystemMetrics(SM_CXSMICON);
        const int cy = GetSystemMetrics(SM_CYSMICON);
        const int left = layout.Text.Left + 2 * kIconInset;
        const int top = layout.Text.Top + kIconInset;
        layout.Icon = TRect{left, top, left + (cx != 0 ? cx : GetSystemMetrics(SM_CXSIZE)),
                            top + (cy != 0 ? cy : GetSystemMetrics(SM_CYSIZE))};
        layout.TitleText.Left += cx + 2 * kIconInset;
    }
    for (const TCaptionButtonKind& kind : kCaptionButtonKinds) {
        if ((layout.Buttons & kind.Button) != 0) {
            layout.Places.push_back(TCaptionButtonPlace{
                &kind,
                CaptionButtonRect(layout.Bar, layout.ButtonWidth, layout.Buttons, kind.Button),
                GlyphIn(kind, state), kind.Needs != 0 && (state.BorderIcons & kind.Needs) == 0});
        }
    }
    return layout;
}

bool IsSizingBorder(int hitTest) {
    return hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT;
}

std::optional<Qt::CursorShape> SizingCursor(int hitTest) {
    switch (hitTest) {
    case HTLEFT:
    case HTRIGHT:
        return Qt::SizeHorCursor;
    case HTTOP:
    case HTBOTTOM:
        return Qt::SizeVerCursor;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return Qt::SizeFDiagCursor;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return Qt::SizeBDiagCursor;
    default:
        return std::nullopt;
    }
}

QFont LoadCaptionFont() {
    const TLogFont stock = StockSystemFont();
    QFont font(QString::fromStdString(stock.FaceName));
    font.setPixelSize(stock.Height);
    font.setBold(stock.Weight > 500);
    const std::optional<TNonClientMetrics> metrics = GetNonClientMetrics();
    if (!metrics) {
        return font;
    }
    const TLogFont& caption = metrics->lfCaptionFont;
    font = QFont(QString::fromStdString(caption.FaceName));
    if (caption.Height < 0) {
        font.setPixelSize(-caption.Height);
    } else if (caption.Height > 0) {
        font.setPointSize(caption.Height);
    }
    font.setStyleHint(QFont::AnyStyle);
    font.setItalic(caption.Italic);
    font.setBold(caption.Weight > 500);
    return font;
}

QIcon CaptionIcon(const QWidget& form) {
    if (form.testAttribute(Qt::WA_SetWindowIcon)) {
        return form.windowIcon();
    }
    if (!QApplication::windowIcon().isNull()) {
        return QApplication::windowIcon();
    }
    return StandardApplicationIcon();
}
