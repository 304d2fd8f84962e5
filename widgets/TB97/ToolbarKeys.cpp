#include "widgets/TB97/ToolbarKeys.h"

#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>

namespace tb97 {

namespace {

bool IsArrowKey(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

bool IsNavigationKey(int key) {
    return IsArrowKey(key) || key == Qt::Key_Home || key == Qt::Key_End;
}

bool IsPressKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace

TToolbarKeys::TToolbarKeys(TToolbar97& bar) : QObject(&bar), bar_(bar) {}

TToolbarKeys& TToolbarKeys::Of(TToolbar97& bar) {
    if (auto* keys = bar.findChild<TToolbarKeys*>(QString(), Qt::FindDirectChildrenOnly)) {
        return *keys;
    }
    return *new TToolbarKeys(bar);
}

std::vector<QWidget*> TToolbarKeys::FocusItems() const {
    std::vector<QWidget*> items;
    for (QWidget* item : bar_.Items()) {
        if (qobject_cast<TToolbarSep97*>(item) == nullptr && item->isVisible() &&
            item->isEnabled()) {
            items.push_back(item);
        }
    }
    return items;
}

bool TToolbarKeys::Enter(QWidget* returnTo) {
    // A floating toolbar is a window that never takes the focus: it comes home first.
    if (bar_.isWindow() && bar_.Visible()) {
        TDock97* home = bar_.DefaultDock() != nullptr ? bar_.DefaultDock() : DockOfForm(dpTop);
        if (home == nullptr) {
            return false;
        }
        bar_.SetDockedTo(home);
    }
    if (bar_.isWindow() || !bar_.isVisible()) {
        return false;
    }
    const std::vector<QWidget*> items = FocusItems();
    if (items.empty()) {
        return false;
    }
    returnTo_ = returnTo;
    Watch(true);
    active_ = true;
    items.front()->setFocus(Qt::ShortcutFocusReason);
    return true;
}

void TToolbarKeys::Leave() {
    QPointer<QWidget> target = returnTo_;
    Stop();
    if (target) {
        target->setFocus(Qt::ShortcutFocusReason);
    }
}

bool TToolbarKeys::Toggle(QWidget* returnTo) {
    if (active_) {
        Leave();
        return true;
    }
    return Enter(returnTo);
}

void TToolbarKeys::Stop() {
    active_ = false;
    Watch(false);
    returnTo_ = nullptr;
}

void TToolbarKeys::Watch(bool on) {
    for (const QPointer<QWidget>& item : watched_) {
        if (item) {
            item->removeEventFilter(this);
            item->update();
        }
    }
    watched_.clear();
    if (!on) {
        return;
    }
    for (QWidget* item : bar_.Items()) {
        if (qobject_cast<TToolbarSep97*>(item) == nullptr) {
            item->installEventFilter(this);
            watched_.emplace_back(item);
        }
    }
}

void TToolbarKeys::Step(QWidget* from, int key) {
    const std::vector<QWidget*> items = FocusItems();
    if (items.empty()) {
        return;
    }
    const auto at = std::find(items.begin(), items.end(), from);
    const int n = static_cast<int>(items.size());
    int index = at == items.end() ? 0 : static_cast<int>(at - items.begin());
    if (key == Qt::Key_Home) {
        index = 0;
    } else if (key == Qt::Key_End) {
        index = n - 1;
    } else if (key == Qt::Key_Left || key == Qt::Key_Up) {
        index = (index + n - 1) % n;
    } else {
        index = (index + 1) % n;
    }
    items[static_cast<size_t>(index)]->setFocus(Qt::ShortcutFocusReason);
}

void TToolbarKeys::Press(QWidget* item) {
    if (!item->isEnabled()) {
        return;
    }
    if (auto* button = qobject_cast<TToolbarButton97*>(item)) {
        button->Click();
        return;
    }
    // Any other item presses the way a screen reader would.
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(item)) {
        if (QAccessibleActionInterface* actions = iface->actionInterface()) {
            actions->doAction(QAccessibleActionInterface::pressAction());
        }
    }
}

TDock97* TToolbarKeys::DockOfForm(int edge) const {
    for (TDock97* dock : bar_.Owner()->findChildren<TDock97*>()) {
        if (dock->Position() == edge) {
            return dock;
        }
    }
    return nullptr;
}

void TToolbarKeys::DockAtEdge(QWidget* item, int key) {
    const TDockPosition edge = key == Qt::Key_Up     ? dpTop
                               : key == Qt::Key_Down ? dpBottom
                               : key == Qt::Key_Left ? dpLeft
                                                     : dpRight;
    TDock97* dock = DockOfForm(edge);
    const bool side = edge == dpLeft || edge == dpRight;
    if (dock == nullptr || dock == bar_.DockedTo() || (side && !bar_.CanDockLeftRight())) {
        return;
    }
    // Moving the toolbar takes the focus from its items: the visit starts
    // again in the new dock, on the same item.
    const QPointer<QWidget> focused = item;
    const QPointer<QWidget> returnTo = returnTo_;
    Stop();
    bar_.SetDockedTo(dock);
    if (Enter(returnTo) && focused && focused->isVisible() && focused->isEnabled()) {
        focused->setFocus(Qt::ShortcutFocusReason);
    }
}

void TToolbarKeys::PaintFocus(QWidget* item, QEvent* paint) {
    // The item paints itself first; the frame goes on top, inside its bevel.
    item->removeEventFilter(this);
    QCoreApplication::sendEvent(item, paint);
    item->installEventFilter(this);
    QPainter painter(item);
    QStyleOptionFocusRect option;
    option.initFrom(item);
    option.rect = item->rect().adjusted(3, 3, -3, -3);
    option.backgroundColor = item->palette().color(QPalette::Button);
    item->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, item);
}

bool TToolbarKeys::eventFilter(QObject* watched, QEvent* event) {
    auto* item = qobject_cast<QWidget*>(watched);
    if (!active_ || item == nullptr) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::Paint:
        if (item->hasFocus()) {
            PaintFocus(item, event);
            return true;
        }
        break;
    case QEvent::FocusIn:
        item->update();
        break;
    case QEvent::FocusOut: {
        item->update();
        // Another window (a dialog a press opened, a menu) takes it back
        // later; a click elsewhere in this window ends the keyboard's visit.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* next = QApplication::focusWidget();
        const bool stays = next != nullptr && next->parentWidget() == &bar_;
        if (!stays && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            Stop();
        }
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsArrowKey(key->key()) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            DockAtEdge(item, key->key());
            return true;
        }
        if (IsNavigationKey(key->key())) {
            Step(item, key->key());
            return true;
        }
        if (IsPressKey(key->key()) && !key->isAutoRepeat()) {
            Press(item);
            return true;
        }
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
            key->key() == Qt::Key_F10) {
            Leave();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool ToggleKeyboardFocus(TToolbar97& bar, QWidget* returnTo) {
    return TToolbarKeys::Of(bar).Toggle(returnTo);
}

} // namespace tb97
