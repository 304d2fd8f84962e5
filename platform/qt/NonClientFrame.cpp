#include "platform/qt/NonClientFrame.h"

#include "platform/SystemMetrics.h"
#include "platform/qt/FrameControls.h"
#include "platform/qt/QtColor.h"
#include "platform/qt/QtFont.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>

namespace {

bool IsSizeable(TFormBorderStyle style) {
    return style == bsSizeable || style == bsSizeToolWin;
}

QEvent::Type RegisteredType(int& slot) {
    if (slot == 0) {
        slot = QEvent::registerEventType();
    }
    return static_cast<QEvent::Type>(slot);
}

int ncPaintType = 0;
int ncActivateType = 0;
int setCursorType = 0;
int ncDestroyType = 0;

// The font captions are written in, from the non-client metrics.
QFont CaptionFont() {
    const TLogFont logFont =
        GetNonClientMetrics() ? GetNonClientMetrics()->lfCaptionFont : StockSystemFont();
    return ToQFont(logFont);
}

} // namespace

bool IsToolWindowStyle(TFormBorderStyle style) {
    return style == bsToolWindow || style == bsSizeToolWin;
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
    for (const TCaptionButton each : {cbClose, cbMaximize, cbMinimize, cbHelp}) {
        if ((present & each) == 0) {
            continue;
        }
        if (!first && right == inset.Right - width) {
            right -= 2; // a gap between the close button and the rest
        }
        if (each == button) {
            return TRect{right - width, inset.Top, right, inset.Bottom};
        }
        right -= width;
        first = false;
    }
    return {};
}

TNcPaintEvent::TNcPaintEvent(QPainter* dc, QRegion region)
    : QEvent(EventType()), dc_(dc), region_(std::move(region)) {}
QEvent::Type TNcPaintEvent::EventType() {
    return RegisteredType(ncPaintType);
}

TNcActivateEvent::TNcActivateEvent(bool active) : QEvent(EventType()), active_(active) {}
QEvent::Type TNcActivateEvent::EventType() {
    return RegisteredType(ncActivateType);
}

TSetCursorEvent::TSetCursorEvent(int hitTest) : QEvent(EventType()), hitTest_(hitTest) {}
QEvent::Type TSetCursorEvent::EventType() {
    return RegisteredType(setCursorType);
}

TNcDestroyEvent::TNcDestroyEvent() : QEvent(EventType()) {}
QEvent::Type TNcDestroyEvent::EventType() {
    return RegisteredType(ncDestroyType);
}

// ---- the frame ----

TNonClientFrame::TNonClientFrame(QWidget* form) : QObject(form), form_(form) {
    setObjectName(QStringLiteral("NonClientFrame"));
    const bool visible = form_->isVisible();
    form_->setWindowFlags(form_->windowFlags() | Qt::Window | Qt::FramelessWindowHint);
    form_->setMouseTracking(true);
    form_->installEventFilter(this);
    ApplyLayout();
    if (visible) {
        form_->show();
    }
    WatchWindow();
    active_ = form_->isActiveWindow();
}

TNonClientFrame::~TNonClientFrame() {
    if (window_) {
        window_->removeEventFilter(this);
    }
}

TNonClientFrame* TNonClientFrame::Of(const QWidget* form) {
    if (form == nullptr) {
        return nullptr;
    }
    return form->findChild<TNonClientFrame*>(QString(), Qt::FindDirectChildrenOnly);
}

QWindow* TNonClientFrame::Window() const {
    return form_->windowHandle();
}

void TNonClientFrame::SetBorderStyle(TFormBorderStyle style) {
    if (style != borderStyle_) {
        borderStyle_ = style;
        ApplyLayout();
    }
}

void TNonClientFrame::SetBorderIcons(TBorderIcons icons) {
    if (icons != borderIcons_) {
        borderIcons_ = icons;
        RedrawFrame(false);
    }
}

TRect TNonClientFrame::WindowRect() const {
    return TRect{0, 0, form_->width(), form_->height()};
}

TRect TNonClientFrame::FrameSize() const {
    int x = 0;
    int y = 0;
    if (IsSizeable(borderStyle_)) {
        x = GetSystemMetrics(SM_CXFRAME);
        y = GetSystemMetrics(SM_CYFRAME);
    } else if (borderStyle_ != bsNone) {
        x = GetSystemMetrics(SM_CXDLGFRAME);
        y = GetSystemMetrics(SM_CYDLGFRAME);
    }
    return TRect{x, y, x, y};
}

TRect TNonClientFrame::CaptionRect() const {
    if (borderStyle_ == bsNone) {
        return {};
    }
    const TRect frame = FrameSize();
    const TRect window = WindowRect();
    const int height =
        GetSystemMetrics(IsToolWindowStyle(borderStyle_) ? SM_CYSMCAPTION : SM_CYCAPTION);
    return TRect{window.Left + frame.Left, window.Top + frame.Top, window.Right - frame.Right,
                 window.Top + frame.Top + height - 1};
}

TRect TNonClientFrame::ClientRect() const {
    const TRect frame = FrameSize();
    const TRect window = WindowRect();
    TRect client{window.Left + frame.Left, window.Top + frame.Top, window.Right - frame.Right,
                 window.Bottom - frame.Bottom};
    if (borderStyle_ != bsNone) {
        client.Top +=
            GetSystemMetrics(IsToolWindowStyle(borderStyle_) ? SM_CYSMCAPTION : SM_CYCAPTION);
    }
    return client;
}

int TNonClientFrame::CaptionButtonWidth() const {
    return GetSystemMetrics(IsToolWindowStyle(borderStyle_) ? SM_CXSMSIZE : SM_CXSIZE);
}

TCaptionButtons TNonClientFrame::CaptionButtons() const {
    return StandardCaptionButtons(borderStyle_, borderIcons_);
}

TRect TNonClientFrame::ButtonRect(int hitTest) const {
    TCaptionButton button = cbClose;
    switch (hitTest) {
    case HTMINBUTTON:
        button = cbMinimize;
        break;
    case HTMAXBUTTON:
        button = cbMaximize;
        break;
    case HTHELP:
        button = cbHelp;
        break;
    default:
        break;
    }
    return CaptionButtonRect(CaptionRect(), CaptionButtonWidth(), CaptionButtons(), button);
}

int TNonClientFrame::HitTest(QPoint position) const {
    const TRect window = WindowRect();
    const int x = position.x();
    const int y = position.y();
    if (!window.ToQRect().contains(position)) {
        return HTNOWHERE;
    }
    if (borderStyle_ == bsNone || ClientRect().ToQRect().contains(position)) {
        return HTCLIENT;
    }
    const TRect frame = FrameSize();
    const bool left = x < frame.Left;
    const bool right = x >= window.Right - frame.Right;
    const bool top = y < frame.Top;
    const bool bottom = y >= window.Bottom - frame.Bottom;
    if (left || right || top || bottom) {
        if (!IsSizeable(borderStyle_) || form_->isMaximized()) {
            return HTBORDER;
        }
        // Corners reach a caption button's width along each edge.
        const int cornerX = frame.Left + GetSystemMetrics(SM_CXSIZE);
        const int cornerY = frame.Top + GetSystemMetrics(SM_CYSIZE);
        const bool nearLeft = x < cornerX;
        const bool nearRight = x >= window.Right - cornerX;
        const bool nearTop = y < cornerY;
        const bool nearBottom = y >= window.Bottom - cornerY;
        if ((top && nearLeft) || (left && nearTop)) {
            return HTTOPLEFT;
        }
        if ((top && nearRight) || (right && nearTop)) {
            return HTTOPRIGHT;
        }
        if ((bottom && nearLeft) || (left && nearBottom)) {
            return HTBOTTOMLEFT;
        }
        if ((bottom && nearRight) || (right && nearBottom)) {
            return HTBOTTOMRIGHT;
        }
        return left ? HTLEFT : right ? HTRIGHT : top ? HTTOP : HTBOTTOM;
    }
    for (const int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP}) {
        const TRect button = ButtonRect(code);
        if (!button.IsEmpty() && button.ToQRect().contains(position)) {
            return code;
        }
    }
    const TRect caption = CaptionRect();
    if ((borderIcons_ & biSystemMenu) != 0 &&
        (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) &&
        x < caption.Left + GetSystemMetrics(SM_CXSIZE)) {
        return HTSYSMENU;
    }
    return HTCAPTION;
}

QRegion TNonClientFrame::NonClientRegion() const {
    return QRegion(WindowRect().ToQRect()) - QRegion(ClientRect().ToQRect());
}

void TNonClientFrame::RedrawFrame(bool now) {
    const QRegion region = NonClientRegion();
    if (now) {
        form_->repaint(region);
    } else {
        form_->update(region);
    }
}

void TNonClientFrame::SetCursorFor(int hitTest) {
    QWindow* window = Window();
    if (window == nullptr) {
        return;
    }
    switch (hitTest) {
    case HTLEFT:
    case HTRIGHT:
        window->setCursor(Qt::SizeHorCursor);
        break;
    case HTTOP:
    case HTBOTTOM:
        window->setCursor(Qt::SizeVerCursor);
        break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        window->setCursor(Qt::SizeFDiagCursor);
        break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        window->setCursor(Qt::SizeBDiagCursor);
        break;
    default:
        window->setCursor(form_->cursor());
        break;
    }
}

void TNonClientFrame::ApplyLayout() {
    const TRect window = WindowRect();
    const TRect client = ClientRect();
    form_->setContentsMargins(client.Left - window.Left, client.Top - window.Top,
                              window.Right - client.Right, window.Bottom - client.Bottom);
    form_->update();
}

void TNonClientFrame::WatchWindow() {
    QWindow* window = form_->windowHandle();
    if (window == window_) {
        return;
    }
    if (window_) {
        window_->removeEventFilter(this);
    }
    window_ = window;
    if (window_) {
        window_->installEventFilter(this);
    }
}

// ---- events ----

bool TNonClientFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && watched != form_) {
        if (event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
            TNcDestroyEvent destroy;
            QCoreApplication::sendEvent(form_, &destroy);
        }
        return false;
    }
    if (watched != form_) {
        return false;
    }
    const QEvent::Type type = event->type();
    if (type == TNcPaintEvent::EventType()) {
        PaintDefault(*static_cast<TNcPaintEvent*>(event));
        return true;
    }
    if (type == TNcActivateEvent::EventType()) {
        active_ = static_cast<TNcActivateEvent*>(event)->Active();
        RedrawFrame(true);
        return true;
    }
    if (type == TSetCursorEvent::EventType()) {
        SetCursorFor(static_cast<TSetCursorEvent*>(event)->HitTest());
        return true;
    }
    if (type == TNcDestroyEvent::EventType()) {
        return true;
    }
    switch (type) {
    case QEvent::Paint:
        return OnPaint(static_cast<QPaintEvent*>(event));
    case QEvent::MouseButtonPress:
        return OnMousePress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return OnMouseMove(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        return OnMouseRelease(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonDblClick:
        return OnDoubleClick(static_cast<QMouseEvent*>(event));
    case QEvent::ActivationChange: {
        active_ = form_->isActiveWindow();
        TNcActivateEvent activate(active_);
        QCoreApplication::sendEvent(form_, &activate);
        return false;
    }
    case QEvent::Resize:
        ApplyLayout();
        return false;
    case QEvent::WinIdChange:
    case QEvent::Show:
        WatchWindow();
        return false;
    case QEvent::WindowStateChange:
    case QEvent::WindowTitleChange:
    case QEvent::WindowIconChange:
    case QEvent::PaletteChange:
        RedrawFrame(false);
        return false;
    default:
        return false;
    }
}

bool TNonClientFrame::OnPaint(QPaintEvent* event) {
    const QRegion region = event->region() & NonClientRegion();
    if (region.isEmpty()) {
        return false;
    }
    QPainter painter(form_);
    TNcPaintEvent paint(&painter, region);
    QCoreApplication::sendEvent(form_, &paint);
    // Whoever painted the caption, a held button shows pressed on top of it.
    if (pressedLook_) {
        painter.setClipRegion(region);
        PaintPressedButton(painter);
    }
    return false; // the form paints its own surface as usual
}

void TNonClientFrame::PaintDefault(TNcPaintEvent& event) {
    QPainter* painter = event.Dc();
    if (painter == nullptr || event.Region().isEmpty()) {
        return;
    }
    painter->save();
    painter->setClipRegion(event.Region());
    PaintBorders(*painter);
    if (event.Region().intersects(CaptionRect().ToQRect())) {
        PaintStandardCaption(*painter);
    }
    painter->restore();
}

void TNonClientFrame::PaintBorders(QPainter& painter) {
    const QRect window = WindowRect().ToQRect();
    const QRect client = ClientRect().ToQRect();
    QRegion frame = QRegion(window) - QRegion(client) - QRegion(CaptionRect().ToQRect());
    for (const QRect& rect : frame) {
        painter.fillRect(rect, ToQColor(clBtnFace));
    }
    if (borderStyle_ == bsNone) {
        return;
    }
    if (IsSizeable(borderStyle_)) {
        const TRect size = FrameSize();
        const QColor border = ToQColor(active_ ? clActiveBorder : clInactiveBorder);
        const QRect inner = window.adjusted(2, 2, -2, -2);
        const QRect core = window.adjusted(size.Left, size.Top, -size.Right, -size.Bottom);
        for (const QRect& rect : QRegion(inner) - QRegion(core)) {
            painter.fillRect(rect, border);
        }
    }
    DrawRaisedEdge(painter, window);
}

void TNonClientFrame::PaintStandardCaption(QPainter& painter) {
    const TRect caption = CaptionRect();
    if (caption.IsEmpty()) {
        return;
    }
    painter.fillRect(caption.ToQRect(), ToQColor(active_ ? clActiveCaption : clInactiveCaption));
    TRect text = caption;
    const TCaptionButtons buttons = CaptionButtons();
    const int w = CaptionButtonWidth();
    text.Right -= (buttons & cbClose ? w + 2 : 0) + (buttons & cbMinimize ? w : 0) +
                  (buttons & cbMaximize ? w : 0) + (buttons & cbHelp ? w + 2 : 0);
    if ((borderIcons_ & biSystemMenu) != 0 &&
        (borderStyle_ == bsSingle || borderStyle_ == bsSizeable)) {
        const int size = GetSystemMetrics(SM_CXSMICON);
        const QIcon icon =
            form_->windowIcon().isNull() ? StandardApplicationIcon() : form_->windowIcon();
        icon.paint(&painter, QRect(text.Left + 2, text.Top + 1, size, size));
        text.Left += size + 2;
    }
    if (text.Right > text.Left) {
        painter.save();
        painter.setFont(CaptionFont());
        painter.setPen(ToQColor(active_ ? clCaptionText : clInactiveCaptionText));
        const QRect area = TRect{text.Left + 3, text.Top, text.Right, text.Bottom}.ToQRect();
        const QString title =
            painter.fontMetrics().elidedText(form_->windowTitle(), Qt::ElideRight, area.width());
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
        painter.restore();
    }
    const bool maximized = form_->isMaximized();
    const bool minimized = form_->isMinimized();
    struct Slot {
        int Code;
        TCaptionGlyph Glyph;
        bool Inactive;
    };
    const Slot buttonSlots[] = {
        {HTCLOSE, TCaptionGlyph::Close, false},
        {HTMAXBUTTON, maximized ? TCaptionGlyph::Restore : TCaptionGlyph::Maximize,
         (borderIcons_ & biMaximize) == 0},
        {HTMINBUTTON, minimized ? TCaptionGlyph::Restore : TCaptionGlyph::Minimize,
         (borderIcons_ & biMinimize) == 0},
        {HTHELP, TCaptionGlyph::Help, false},
    };
    for (const Slot& slot : buttonSlots) {
        const TRect rect = ButtonRect(slot.Code);
        if (!rect.IsEmpty()) {
            DrawCaptionButton(painter, rect.ToQRect(), slot.Glyph, false, slot.Inactive);
        }
    }
}

void TNonClientFrame::PaintPressedButton(QPainter& painter) {
    const TRect rect = ButtonRect(pressed_);
    if (rect.IsEmpty()) {
        return;
    }
    TCaptionGlyph glyph = TCaptionGlyph::Close;
    bool inactive = false;
    if (pressed_ == HTMAXBUTTON) {
        glyph = form_->isMaximized() ? TCaptionGlyph::Restore : TCaptionGlyph::Maximize;
        inactive = (borderIcons_ & biMaximize) == 0;
    } else if (pressed_ == HTMINBUTTON) {
        glyph = TCaptionGlyph::Minimize;
        inactive = (borderIcons_ & biMinimize) == 0;
    } else if (pressed_ == HTHELP) {
        glyph = TCaptionGlyph::Help;
    }
    DrawCaptionButton(painter, rect.ToQRect(), glyph, true, inactive);
}
