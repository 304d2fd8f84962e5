#include "widgets/explbtn/ExplorerAccessible.h"

#include "platform/qt/AccessibleFactory.h"
#include "widgets/explbtn/explbtn.h"

#include <QMetaObject>
#include <QPointer>

QAccessibleInterface* ExplorerButtonAccessible(const QString& className, QObject* object) {
    return platform::AccessibleFor<TExplorerButton, TExplorerButtonAccessible>(className, object);
}

TExplorerButtonAccessible::TExplorerButtonAccessible(TExplorerButton* button)
    : QAccessibleWidget(button, QAccessible::PushButton) {}

TExplorerButton* TExplorerButtonAccessible::Button() const {
    return static_cast<TExplorerButton*>(widget());
}

QString TExplorerButtonAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) {
        const QString caption = StripAccelerators(Button()->Caption());
        return caption.isEmpty() ? Button()->Hint() : caption;
    }
    if (t == QAccessible::Description) {
        return QString(); // the hint is the name, or says the same as the caption
    }
    return QAccessibleWidget::text(t);
}

QAccessible::State TExplorerButtonAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    // The widget stays enabled to keep its looks; the button's own flag counts.
    state.disabled = !Button()->Enabled();
    state.pressed = Button()->Pressed() || Button()->Down();
    state.checkable = Button()->GroupIndex() != 0;
    state.checked = state.checkable && Button()->Down();
    state.hotTracked = Button()->Hot();
    state.hasPopup = Button()->DropDownMenu() != nullptr;
    return state;
}

QStringList TExplorerButtonAccessible::actionNames() const {
    return {pressAction()};
}

void TExplorerButtonAccessible::doAction(const QString& actionName) {
    if (actionName != pressAction()) {
        return;
    }
    // After the caller has returned: the click may run a modal dialog.
    QPointer<TExplorerButton> button = Button();
    QMetaObject::invokeMethod(
        button,
        [button] {
            if (!button || !button->Enabled() || !button->isVisible()) {
                return;
            }
            if (QMenu* menu = button->DropDownMenu()) {
                menu->popup(button->mapToGlobal(QPoint(0, button->height())));
            } else if (button->OnClick) {
                button->OnClick();
            }
        },
        Qt::QueuedConnection);
}
