#include "platform/qt/NonClientFrame.h"

#include "platform/SystemMetrics.h"
#include "platform/qt/FrameControls.h"
#include "platform/qt/QtColor.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>

namespace {

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

} // namespace

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
    const QSize thickness = FrameThickness(borderStyle_);
    return TRect{thickness.width(), thickness.height(), thickness.width(), thickness.height()};
}

TRect TNonClientFrame::CaptionRect() const {
    return CaptionLayout().Bar;
}

TRect TNonClientFrame::ClientRect() const {
    const TRect frame = FrameSize();
    const TRect window = WindowRect();
    return TRect{window.Left + frame.Left, window.Top + frame.Top + CaptionHeight(borderStyle_),
                 window.Right - frame.Right, window.Bottom - frame.Bottom};
}

TCaptionLayout TNonClientFrame::CaptionLayout() const {
    return LayOutCaption(TCaptionState{form_->width(), form_->height(), borderStyle_, borderIcons_,
                                       form_->isMaximized(), form_->isMinimized()});
}

int TNonClientFrame::CaptionButtonWidth() const {
    return CaptionLayout().ButtonWidth;
}

TCaptionButtons TNonClientFrame::CaptionButtons() const {
    return StandardCaptionButtons(borderStyle_, borderIcons_);
}

TRect TNonClientFrame::ButtonRect(int hitTest) const {
    const TCaptionLayout layout = CaptionLayout();
    const TCaptionButtonPlace* place = layout.ButtonAt(hitTest);
    return place != nullptr ? place->Rect : TRect{};
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
        if (!IsSizeableStyle(borderStyle_) || form_->isMaximized()) {
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
    const TCaptionLayout layout = CaptionLayout();
    for (const TCaptionButtonPlace& place : layout.Places) {
        if (place.Rect.ToQRect().contains(position)) {
            return place.Kind->HitTest;
        }
    }
    if (layout.HasIcon && x < layout.Bar.Left + GetSystemMetrics(SM_CXSIZE)) {
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
    const std::optional<Qt::CursorShape> sizing = SizingCursor(hitTest);
    window->setCursor(sizing ? QCursor(*sizing) : form_->cursor());
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
        PaintPressedButton(painter, CaptionLayout());
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
    const TCaptionLayout layout = CaptionLayout();
    if (event.Region().intersects(layout.Bar.ToQRect())) {
        PaintStandardCaption(*painter, layout);
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
    if (IsSizeableStyle(borderStyle_)) {
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

void TNonClientFrame::PaintStandardCaption(QPainter& painter, const TCaptionLayout& layout) {
    if (layout.Bar.IsEmpty()) {
        return;
    }
    painter.fillRect(layout.Bar.ToQRect(), ToQColor(active_ ? clActiveCaption : clInactiveCaption));
    if (layout.HasIcon) {
        CaptionIcon(*form_).paint(&painter, layout.Icon.ToQRect());
    }
    const TRect& text = layout.TitleText;
    const QRect area = TRect{text.Left + 3, text.Top, text.Right, text.Bottom}.ToQRect();
    if (area.width() > 0) {
        painter.save();
        painter.setFont(LoadCaptionFont());
        painter.setPen(ToQColor(active_ ? clCaptionText : clInactiveCaptionText));
        const QString title =
            painter.fontMetrics().elidedText(form_->windowTitle(), Qt::ElideRight, area.width());
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
        painter.restore();
    }
    for (const TCaptionButtonPlace& place : layout.Places) {
        DrawCaptionButton(painter, place.Rect.ToQRect(), place.Glyph, false, place.Inactive);
    }
}

// The held button, with the same glyph it shows when idle.
void TNonClientFrame::PaintPressedButton(QPainter& painter, const TCaptionLayout& layout) {
    if (const TCaptionButtonPlace* place = layout.ButtonAt(pressed_)) {
        DrawCaptionButton(painter, place->Rect.ToQRect(), place->Glyph, true, place->Inactive);
    }
}
