#include "widgets/TB97/ToolbarDrag.h"

#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarOutline.h"
#include "widgets/TB97/ToolbarSep97.h"
#include "widgets/TB97/TrackingHold.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>

namespace tb97 {

// ---- pressing ----

bool StartsDrag(const TToolbar97& bar, QPoint pos) {
    if (bar.DockedTo() != nullptr && !bar.DockedTo()->AllowDrag()) {
        return false;
    }
    for (QWidget* item : bar.Items()) {
        if (!item->isHidden() && qobject_cast<TToolbarSep97*>(item) == nullptr &&
            item->geometry().contains(pos)) {
            return false;
        }
    }
    return true;
}

void ToggleDocking(TToolbar97& bar) {
    if (bar.DockedTo() != nullptr) {
        bar.SetDockedTo(nullptr);
        return;
    }
    TDock97* dock = bar.DefaultDock();
    if (dock == nullptr) {
        return;
    }
    // In front of everything in row 0.
    bar.SetDockRow(0);
    bar.SetDockPos(-8);
    bar.SetDockedTo(dock);
}

// ---- what the drag measures ----

std::vector<TDock97*> FormDocks(const TToolbar97& bar) {
    QWidget* form = bar.Owner();
    std::vector<TDock97*> docks;
    for (TDock97* dock : form->findChildren<TDock97*>()) {
        if (dock->Owner() == form) {
            docks.push_back(dock);
        }
    }
    std::sort(docks.begin(), docks.end(), [](const TDock97* a, const TDock97* b) {
        return a->CreationOrder() < b->CreationOrder();
    });
    return docks;
}

std::vector<TDockCandidate> DockCandidates(const TToolbar97& bar,
                                           const std::vector<TDock97*>& docks) {
    std::vector<TDockCandidate> candidates;
    candidates.reserve(docks.size());
    for (const TDock97* dock : docks) {
        TDockCandidate c;
        c.Position = dock->Position();
        // A dock that is not on the screen cannot be dropped on.
        c.AllowDrag = dock->AllowDrag() && dock->isVisible();
        c.ScreenRect = QRect(dock->mapToGlobal(QPoint(0, 0)), dock->size());
        c.BarSize = bar.DockedTo() == dock
                        ? bar.size()
                        : bar.ArrangedSize(OrientationIn(dock), dock->AllowDrag(), 0);
        candidates.push_back(c);
    }
    return candidates;
}

QSize FloatingSize(const TToolbar97& bar) {
    return bar.ArrangedSize(TBarOrientation::kFloating, true, bar.FloatingWidth()) +
           FloatingFrameSize(FloatingMetrics());
}

// ---- dropping ----

void DropOnDock(TToolbar97& bar, TDock97& dock, const QRect& outline) {
    const TDropPlace place = DropPlace(outline, dock.Vertical(), dock.mapToGlobal(QPoint(0, 0)),
                                       dock.mapToGlobal(dock.DockClientRect().topLeft()));
    const TDock97::TDropRow row = dock.RowForPosition(place.Across);
    // Neither dock re-arranges (and renumbers rows) before the toolbar is in
    // its place.
    TDock97* old = bar.DockedTo() != &dock ? bar.DockedTo() : nullptr;
    if (old != nullptr) {
        old->BeginUpdate();
    }
    dock.BeginUpdate();
    if (row.NewRow) {
        dock.InsertRowAt(row.Row);
    }
    bar.SetDockRow(row.Row);
    bar.SetDockPos(place.Along);
    bar.SetDockedTo(&dock);
    dock.EndUpdate();
    if (old != nullptr) {
        old->EndUpdate();
    }
}

void DropFloating(TToolbar97& bar, const QRect& outline) {
    bar.SetFloatingRect(outline);
    bar.SetDockedTo(nullptr);
}

// ---- the drag ----

TToolbarDrag::TToolbarDrag(TToolbar97& bar, QPoint globalPos, QPoint grabPoint, bool ctrlHeld)
    : bar_(&bar), forbid_(ctrlHeld), frame_(FloatingMetrics().Frame), cursor_(globalPos) {
    grab_.Point = grabPoint;
    grab_.BarSize = bar.size();
    const std::vector<TDock97*> docks = FormDocks(bar);
    docks_.assign(docks.begin(), docks.end());
    candidates_ = DockCandidates(bar, docks);
    floatSize_ = FloatingSize(bar);
    target_ = PlaceNow();
}

TToolbarDrag::~TToolbarDrag() = default;

TDock97* TToolbarDrag::TargetDock() const {
    return target_.Dock >= 0 ? docks_[static_cast<size_t>(target_.Dock)].data() : nullptr;
}

QRect TToolbarDrag::WorkAreaAt(QPoint cursor) const {
    QScreen* screen = QGuiApplication::screenAt(cursor);
    if (screen == nullptr && bar_) {
        screen = bar_->screen();
    }
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect(cursor, QSize(1, 1));
}

// Where the toolbar stands: in its dock as it is, or floating where it is.
TDragTarget TToolbarDrag::PlaceNow() const {
    TDragTarget place;
    if (!bar_) {
        return place;
    }
    if (bar_->DockedTo() == nullptr) {
        place.Outline = bar_->FloatingScreenRect();
        return place;
    }
    const auto found = std::find(docks_.begin(), docks_.end(), bar_->DockedTo());
    place.Dock = found != docks_.end() ? static_cast<int>(found - docks_.begin()) : -1;
    place.Outline = QRect(bar_->mapToGlobal(QPoint(0, 0)), bar_->size());
    return place;
}

void TToolbarDrag::MoveTo(QPoint cursor) {
    if (!moved_ && cursor == cursor_) {
        ShowOutline();
        return;
    }
    moved_ = true;
    cursor_ = cursor;
    Decide();
}

void TToolbarDrag::Decide() {
    TDragInput input;
    input.Cursor = cursor_;
    input.ForbidDocking = forbid_;
    input.CanDockLeftRight = bar_ && bar_->CanDockLeftRight();
    target_ = ChooseTarget(candidates_, input, grab_, floatSize_, WorkAreaAt(cursor_), frame_);
    ShowOutline();
}

void TToolbarDrag::ShowOutline() {
    if (!outline_) {
        outline_ = std::make_unique<TToolbarOutline>();
    }
    outline_->SetOutline(target_.Outline, target_.Dock >= 0 ? 1 : frame_);
}

void TToolbarDrag::SetForbidDocking(bool forbid) {
    if (forbid != forbid_) {
        forbid_ = forbid;
        if (moved_) {
            Decide();
        }
    }
}

void TToolbarDrag::Drop() {
    outline_.reset();
    if (!bar_ || !moved_) {
        return;
    }
    if (TDock97* dock = TargetDock()) {
        DropOnDock(*bar_, *dock, target_.Outline);
    } else if (target_.Dock < 0 && !target_.Outline.isEmpty()) {
        DropFloating(*bar_, target_.Outline);
    }
}

void TToolbarDrag::Finish(TEnd end) {
    if (end_ == TEnd::kRunning) {
        end_ = end;
        loop_.exit();
    }
}

TToolbarDrag::TEnd TToolbarDrag::Run() {
    {
        // Repaints already asked for come first, so the outline is not
        // drawn over a stale picture.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        TTrackingHold hold(bar_, this);
        ShowOutline();
        if (bar_ && hold.MouseHeld()) {
            loop_.exec();
        }
        // Not ended by a button (no grab to begin with, or the application
        // quitting ended every loop): no effect.
        Finish(TEnd::kCancelled);
        outline_.reset();
    }
    if (end_ == TEnd::kDropped) {
        Drop();
    }
    return end_;
}

bool TToolbarDrag::eventFilter(QObject* watched, QEvent* event) {
    if (end_ != TEnd::kRunning) {
        return false;
    }
    switch (event->type()) {
    case QEvent::Quit:
    case QEvent::ApplicationDeactivate:
        // The quit goes on to end the application's loop as well.
        Finish(TEnd::kCancelled);
        return false;
    default:
        break;
    }
    // The grab taken from us (the toolbar hidden, a popup, another grab).
    if (!bar_ || QWidget::mouseGrabber() != bar_) {
        Finish(TEnd::kCancelled);
        return false;
    }
    if (!watched->isWidgetType()) {
        return false; // windows pass their input on to the widgets
    }
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return HandleMouse(event);
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        return HandleKey(event);
    case QEvent::ContextMenu:
        event->accept();
        return true; // right button: swallowed
    default:
        return false;
    }
}

bool TToolbarDrag::HandleMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    mouse->accept();
    if (event->type() == QEvent::MouseMove) {
        // The modifiers come with every move: a Ctrl change whose key event
        // went elsewhere still counts.
        const bool ctrl = mouse->modifiers().testFlag(Qt::ControlModifier);
        forbid_ = ctrl;
        MoveTo(mouse->globalPosition().toPoint());
        return true;
    }
    if (mouse->button() == Qt::LeftButton) {
        if (event->type() == QEvent::MouseButtonRelease) {
            MoveTo(mouse->globalPosition().toPoint());
            Finish(TEnd::kDropped);
        } else {
            Finish(TEnd::kCancelled);
        }
    }
    return true; // right and middle buttons: swallowed
}

bool TToolbarDrag::HandleKey(QEvent* event) {
    event->accept();
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Control && !key->isAutoRepeat()) {
            SetForbidDocking(event->type() == QEvent::KeyPress);
        }
    }
    return true; // no key does anything else, Escape included
}

void DragToolbar(TToolbar97& bar, QPoint globalPos, QPoint grabPoint,
                 Qt::KeyboardModifiers modifiers) {
    TToolbarDrag drag(bar, globalPos, grabPoint, modifiers.testFlag(Qt::ControlModifier));
    drag.Run();
}

} // namespace tb97
