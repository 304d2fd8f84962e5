#include "widgets/TB97/Toolbar97.h"

#include "platform/qt/QtColor.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/FloatParent.h"
#include "widgets/TB97/ToolbarDrag.h"
#include "widgets/TB97/ToolbarSep97.h"
#include "widgets/WidgetProperty.h"

#include <QChildEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

using tb97::TBarOrientation;

namespace {

QWidget* CheckedOwner(QWidget* owner) {
    if (owner == nullptr || !owner->isWindow()) {
        throw EInvalidOperation("TToolbar97 must be owned by a form");
    }
    return owner;
}

} // namespace

namespace tb97 {

TBarOrientation OrientationIn(const TDock97* dock) {
    if (dock == nullptr) {
        return TBarOrientation::kFloating;
    }
    return dock->Vertical() ? TBarOrientation::kVertical : TBarOrientation::kHorizontal;
}

} // namespace tb97

TToolbar97::TToolbar97(QWidget* owner)
    : QWidget(nullptr), owner_(CheckedOwner(owner)), floatParent_(new TFloatParent(owner)),
      hook_(tb97::TFormHook::Acquire(owner, this)),
      frame_(std::make_unique<tb97::TFloatingFrame>(this)), FColor(clBtnFace) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    busy_ = TBusy::kReparenting;
    setParent(floatParent_, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    busy_ = TBusy::kIdle;
    setAttribute(Qt::WA_ShowWithoutActivating);
    ArrangeControls();
}

TToolbar97::~TToolbar97() {
    busy_ = TBusy::kDestroying;
    if (FDockedTo != nullptr) {
        FDockedTo->ToolbarRemoved(this);
    }
    hook_->Release(this);
    // The float parent goes with the toolbar; when floating it is our parent,
    // so it is left to delete itself after we are gone.
    if (floatParent_) {
        floatParent_->deleteLater();
    }
}

// ---- properties ----

void TToolbar97::SetCaption(const QString& value) {
    if (StoreIfChanged(FCaption, value)) {
        setWindowTitle(value);
        if (FDockedTo == nullptr) {
            update();
        }
    }
}

void TToolbar97::SetColor(TColor value) {
    if (StoreIfChanged(FColor, value)) {
        update();
    }
}

void TToolbar97::SetCloseButton(bool value) {
    if (StoreIfChanged(FCloseButton, value)) {
        if (FDockedTo == nullptr) {
            update();
        }
    }
}

void TToolbar97::SetDockRow(int value) {
    FDockRow = value;
    if (FDockedTo != nullptr) {
        FDockedTo->ArrangeToolbars();
    }
}

void TToolbar97::SetDockPos(int value) {
    FDockPos = value;
    if (FDockedTo != nullptr) {
        FDockedTo->ArrangeToolbars();
    }
}

void TToolbar97::setVisible(bool visible) {
    if (busy_ == TBusy::kReparenting || busy_ == TBusy::kDestroying) {
        QWidget::setVisible(visible);
        return;
    }
    if (visible == FVisible) {
        ApplyVisibility();
        return;
    }
    FVisible = visible;
    ApplyVisibility();
    if (FDockedTo != nullptr) {
        FDockedTo->ToolbarVisibilityChanged(this);
    }
}

void TToolbar97::ApplyVisibility() {
    if (FDockedTo != nullptr) {
        QWidget::setVisible(FVisible);
    } else {
        UpdateFloatingVisibility();
    }
}

void TToolbar97::UpdateFloatingVisibility() {
    if (FDockedTo != nullptr) {
        return;
    }
    const bool formShown = owner_->isVisible() && !owner_->isMinimized();
    QWidget::setVisible(FVisible && formShown && hook_->ApplicationActive());
}

// ---- docking ----

void TToolbar97::SetParentControl(QWidget* parent) {
    if (auto* dock = qobject_cast<TDock97*>(parent)) {
        SetDockedTo(dock);
    } else if (parent == owner_ || parent == floatParent_) {
        SetDockedTo(nullptr);
    } else {
        throw EInvalidOperation(
            "TToolbar97 can only be placed on a TDock97 or directly on the form");
    }
}

void TToolbar97::SetDockedTo(TDock97* value) {
    const bool changing = value != FDockedTo;
    QWidget* const target = value != nullptr ? static_cast<QWidget*>(value) : floatParent_.data();
    if (!changing && parentWidget() == target) {
        return;
    }
    if (changing && OnDockChanging) {
        OnDockChanging();
    }
    if (value != nullptr) {
        Reparent(value, value);
    } else {
        if (floatingRect_.isEmpty()) {
            // Where it stands now, grown by the frame it is about to get.
            const tb97::TFloatMetrics m = tb97::FloatingMetrics();
            const QPoint screenAt = mapToGlobal(QPoint(0, 0));
            floatingRect_ =
                QRect(screenAt - QPoint(m.Frame, 0), size() + tb97::FloatingFrameSize(m));
        }
        Reparent(floatParent_, nullptr);
        setGeometry(floatingRect_);
    }
    ArrangeControls();
    if (FDockedTo != nullptr) {
        FDockedTo->ArrangeToolbars();
    }
    if (changing && OnDockChanged) {
        OnDockChanged();
    }
    ApplyVisibility();
    if (FDockedTo == nullptr) {
        KeepOnScreen();
    }
}

// A change of parent recreates the window: the toolbar's users hear of it
// before and after, the old dock of the removal and the new one of the insertion.
void TToolbar97::Reparent(QWidget* parent, TDock97* dock) {
    if (parent == parentWidget() && dock == FDockedTo) {
        return;
    }
    if (OnRecreating) {
        OnRecreating();
    }
    TDock97* oldDock = FDockedTo;
    const TBusy outer = busy_;
    busy_ = TBusy::kReparenting;
    QWidget::setVisible(false);
    FDockedTo = dock;
    if (dock != nullptr) {
        setParent(parent, Qt::Widget);
    } else {
        setParent(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    }
    busy_ = outer;
    if (oldDock != nullptr) {
        oldDock->ToolbarRemoved(this);
    }
    // The new dock places us by the size we have in its orientation.
    ArrangeControls();
    if (dock != nullptr) {
        dock->ToolbarInserted(this);
    }
    if (OnRecreated) {
        OnRecreated();
    }
}

void TToolbar97::SetFloatingRect(const QRect& rect) {
    floatingRect_ = rect;
    if (FDockedTo == nullptr && !rect.isEmpty()) {
        setGeometry(rect);
        ArrangeControls();
    }
}

void TToolbar97::SetFloatingWidth(int width) {
    floatingWidth_ = std::max(width, 0);
    if (FDockedTo == nullptr) {
        ArrangeControls();
    }
}

QRect TToolbar97::FloatingScreenRect() const {
    return floatingRect_.isEmpty() ? QRect(mapToGlobal(QPoint(0, 0)), size()) : floatingRect_;
}

void TToolbar97::KeepOnScreen() {
    if (FDockedTo != nullptr) {
        return;
    }
    QScreen* screen = QGuiApplication::screenAt(floatingRect_.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QRect r = FloatingScreenRect();
    if (r.intersects(area)) {
        return;
    }
    floatingRect_ = tb97::KeptInside(r, area);
    setGeometry(floatingRect_);
}

// ---- items ----

std::vector<QWidget*> TToolbar97::Items() const {
    return items_;
}

TBarOrientation TToolbar97::Orientation() const {
    return tb97::OrientationIn(FDockedTo);
}

bool TToolbar97::HasDragHandle() const {
    return FDockedTo == nullptr || FDockedTo->AllowDrag();
}

QPoint TToolbar97::ClientOrigin() const {
    if (FDockedTo != nullptr) {
        return QPoint(0, 0);
    }
    const tb97::TFloatMetrics m = tb97::FloatingMetrics();
    return QPoint(m.Frame, m.Frame + m.Caption);
}

bool TToolbar97::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ChildAdded: {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(child);
            if (std::find(items_.begin(), items_.end(), widget) == items_.end()) {
                items_.push_back(widget);
                widget->installEventFilter(this);
            }
            // Arranged once the item is whole.
            QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
        }
        break;
    }
    case QEvent::ChildRemoved: {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        const auto found = std::find(items_.begin(), items_.end(), child);
        if (found != items_.end()) {
            items_.erase(found);
            if (busy_ != TBusy::kDestroying) {
                QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
            }
        }
        break;
    }
    case QEvent::LayoutRequest:
        ArrangeControls();
        return true;
    default:
        break;
    }
    return QWidget::event(event);
}

bool TToolbar97::eventFilter(QObject* watched, QEvent* event) {
    // The items' hints show only while the toolbar shows hints.
    if (event->type() == QEvent::ToolTip && watched->parent() == this && !FShowHint) {
        return true;
    }
    if (busy_ != TBusy::kArranging && watched->parent() == this) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            ArrangeControls();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- painting ----

void TToolbar97::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(FColor));
    if (FDockedTo != nullptr) {
        PaintDocked(painter);
    } else {
        PaintFloating(painter);
    }
}

// A raised border, the dock's background continued inside it, and the two
// bars of the drag handle.
void TToolbar97::PaintDocked(QPainter& painter) {
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    FDockedTo->PaintBackground(painter, inside, pos() - FDockedTo->DockClientRect().topLeft());
    tb97::DrawEdge(painter, rect(), BDR_RAISEDINNER, BF_RECT);
    if (!HasDragHandle()) {
        return;
    }
    const bool vertical = FDockedTo->Vertical();
    for (const int bar : {4, 7}) {
        if (vertical) {
            tb97::DrawEdge(painter, QRect(2, bar, width() - 4, 3), BDR_RAISEDINNER,
                           BF_RECT | BF_MIDDLE);
            tb97::SetPixel(painter, width() - 3, bar, clBtnHighlight);
        } else {
            tb97::DrawEdge(painter, QRect(bar, 2, 3, height() - 4), BDR_RAISEDINNER,
                           BF_RECT | BF_MIDDLE);
            tb97::SetPixel(painter, bar, height() - 3, clBtnHighlight);
        }
    }
}

// The frame of the floating window with its caption, and the lines between
// wrapped rows.
void TToolbar97::PaintFloating(QPainter& painter) {
    const tb97::TFloatMetrics m = tb97::FloatingMetrics();
    tb97::PaintFloatingFrame(painter, size(), FCaption, FCloseButton, frame_->ClosePressed(), m);
    const QPoint origin = ClientOrigin();
    const int lineWidth = width() - 2 * m.Frame - 2;
    for (const int cross : dividers_) {
        painter.fillRect(QRect(origin.x() + 1, origin.y() + cross - 4, lineWidth, 1),
                         ToQColor(clBtnShadow));
        painter.fillRect(QRect(origin.x() + 1, origin.y() + cross - 3, lineWidth, 1),
                         ToQColor(clBtnHighlight));
    }
}

void TToolbar97::mousePressEvent(QMouseEvent* event) {
    // A floating frame's edges and close button come first.
    if (frame_->MousePress(event)) {
        return;
    }
    event->accept();
    // Anywhere outside the buttons (separators pass their presses on) the
    // toolbar can be taken; the drag runs until the button is let go.
    if (event->button() == Qt::LeftButton && tb97::StartsDrag(*this, event->position().toPoint())) {
        tb97::DragToolbar(*this, event->globalPosition().toPoint(), event->position().toPoint(),
                          event->modifiers());
    }
}

void TToolbar97::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click on an edge or the close button is a press there.
    if (frame_->MousePress(event)) {
        return;
    }
    event->accept();
    if (event->button() == Qt::LeftButton && tb97::StartsDrag(*this, event->position().toPoint())) {
        tb97::ToggleDocking(*this);
    }
}

void TToolbar97::contextMenuEvent(QContextMenuEvent* event) {
    if (FPopupMenu) {
        FPopupMenu->popup(event->globalPos());
    }
}

QMenu* TToolbar97::PopupMenu() const {
    return FPopupMenu.data();
}

void TToolbar97::SetPopupMenu(QMenu* value) {
    FPopupMenu = value;
}

TDock97* TToolbar97::DefaultDock() const {
    return FDefaultDock.data();
}

void TToolbar97::SetDefaultDock(TDock97* value) {
    FDefaultDock = value;
}
