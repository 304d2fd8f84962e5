#include "widgets/TB97/ToolbarAccessible.h"

#include "platform/qt/VirtualButtonAccessible.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/FloatingFrame.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <QMetaObject>
#include <QPointer>

namespace tb97 {

namespace {

void CloseFloating(TToolbar97* bar) {
    // What the close square does when clicked.
    bar->setVisible(false);
    if (bar->OnClose) {
        bar->OnClose();
    }
}

} // namespace

QAccessibleInterface* ToolbarAccessible(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    if (className == QLatin1String("TToolbar97")) {
        return new TToolbarAccessible(static_cast<TToolbar97*>(object));
    }
    if (className == QLatin1String("TToolbarButton97")) {
        return new TToolbarButtonAccessible(static_cast<TToolbarButton97*>(object));
    }
    if (className == QLatin1String("TToolbarSep97")) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Separator);
    }
    if (className == QLatin1String("TDock97")) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Pane);
    }
    return nullptr;
}

THintParts SplitHint(const QString& hint) {
    const QString trimmed = hint.trimmed();
    const qsizetype open = trimmed.lastIndexOf(QLatin1String(" ("));
    if (open <= 0 || !trimmed.endsWith(QLatin1Char(')'))) {
        return {trimmed, {}};
    }
    const QString key = trimmed.mid(open + 2, trimmed.size() - open - 3).trimmed();
    if (key.isEmpty()) {
        return {trimmed, {}};
    }
    return {trimmed.left(open).trimmed(), key};
}

// ---- toolbar ----

TToolbarAccessible::TToolbarAccessible(TToolbar97* bar)
    : QAccessibleWidget(bar, QAccessible::ToolBar) {}

TToolbarAccessible::~TToolbarAccessible() {
    platform::ReleaseVirtualChild(close_);
}

TToolbar97* TToolbarAccessible::Bar() const {
    return static_cast<TToolbar97*>(widget());
}

bool TToolbarAccessible::ShowsClose() const {
    return Bar()->isWindow() && Bar()->CloseButton();
}

QAccessible::Role TToolbarAccessible::role() const {
    return Bar()->isWindow() ? QAccessible::Window : QAccessible::ToolBar;
}

QString TToolbarAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) {
        return Bar()->Caption();
    }
    return QAccessibleWidget::text(t);
}

int TToolbarAccessible::childCount() const {
    return QAccessibleWidget::childCount() + (ShowsClose() ? 1 : 0);
}

QAccessibleInterface* TToolbarAccessible::child(int index) const {
    const int items = QAccessibleWidget::childCount();
    if (index < items) {
        return QAccessibleWidget::child(index);
    }
    if (index > items || !ShowsClose()) {
        return nullptr;
    }
    if (close_ == 0) {
        QPointer<TToolbar97> bar = Bar();
        platform::TVirtualButton button;
        button.Name = [] { return QStringLiteral("Close"); };
        button.ScreenRect = [bar] {
            if (!bar || !bar->isWindow()) {
                return QRect();
            }
            const QRect r = FloatingCloseRect(bar->size(), FloatingMetrics());
            return QRect(bar->mapToGlobal(r.topLeft()), r.size());
        };
        button.Press = [bar] {
            if (bar && bar->isWindow()) {
                CloseFloating(bar);
            }
        };
        close_ = platform::MakeVirtualButton(Bar(), const_cast<TToolbarAccessible*>(this),
                                             std::move(button));
    }
    return QAccessible::accessibleInterface(close_);
}

int TToolbarAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child != nullptr && close_ != 0 && child == QAccessible::accessibleInterface(close_)) {
        return ShowsClose() ? QAccessibleWidget::childCount() : -1;
    }
    return QAccessibleWidget::indexOfChild(child);
}

// ---- toolbar button ----

TToolbarButtonAccessible::TToolbarButtonAccessible(TToolbarButton97* button)
    : QAccessibleWidget(button, QAccessible::PushButton) {}

TToolbarButton97* TToolbarButtonAccessible::Button() const {
    return static_cast<TToolbarButton97*>(widget());
}

QString TToolbarButtonAccessible::text(QAccessible::Text t) const {
    const THintParts hint = SplitHint(Button()->toolTip());
    switch (t) {
    case QAccessible::Name:
        if (!Button()->accessibleName().isEmpty()) {
            return Button()->accessibleName();
        }
        return hint.Action.isEmpty() ? QString(Button()->Caption()).remove(QLatin1Char('&'))
                                     : hint.Action;
    case QAccessible::Description:
        return hint.Key;
    case QAccessible::Accelerator:
        return QString(hint.Key).remove(QLatin1Char(' '));
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State TToolbarButtonAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.pressed = Button()->Down() || Button()->State() == bsDown;
    state.checkable = Button()->GroupIndex() != 0;
    state.checked = state.checkable && Button()->Down();
    state.hotTracked = Button()->MouseInControl();
    state.hasPopup = Button()->DropdownMenu() != nullptr;
    return state;
}

QStringList TToolbarButtonAccessible::actionNames() const {
    QStringList names{pressAction()};
    if (Button()->DropdownMenu() != nullptr) {
        names << showMenuAction();
    }
    return names;
}

void TToolbarButtonAccessible::doAction(const QString& actionName) {
    if ((actionName != pressAction() && actionName != showMenuAction()) || !Button()->isEnabled()) {
        return;
    }
    // After the caller has returned: a command may run a modal dialog.
    QPointer<TToolbarButton97> button = Button();
    QMetaObject::invokeMethod(
        button,
        [button] {
            if (button && button->isEnabled()) {
                button->Click();
            }
        },
        Qt::QueuedConnection);
}

QStringList TToolbarButtonAccessible::keyBindingsForAction(const QString& actionName) const {
    const QString key = text(QAccessible::Accelerator);
    if (actionName == pressAction() && !key.isEmpty()) {
        return {key};
    }
    return {};
}

} // namespace tb97
