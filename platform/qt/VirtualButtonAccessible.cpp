#include "platform/qt/VirtualButtonAccessible.h"

#include <QAccessible>
#include <QMetaObject>
#include <QWindow>

namespace platform {

TVirtualButtonAccessible::TVirtualButtonAccessible(QWidget* owner, QAccessibleInterface* parent,
                                                   TVirtualButton button)
    : TLeafAccessible(parent), owner_(owner), button_(std::move(button)) {}

bool TVirtualButtonAccessible::isValid() const {
    return !owner_.isNull();
}

QWindow* TVirtualButtonAccessible::window() const {
    return owner_ ? owner_->window()->windowHandle() : nullptr;
}

QString TVirtualButtonAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name && button_.Name ? button_.Name() : QString();
}

QRect TVirtualButtonAccessible::rect() const {
    return owner_ && button_.ScreenRect ? button_.ScreenRect() : QRect();
}

QAccessible::State TVirtualButtonAccessible::state() const {
    QAccessible::State state;
    if (!owner_ || !owner_->isVisible() || rect().isEmpty()) {
        state.invisible = true;
    }
    state.pressed = button_.Pressed && button_.Pressed();
    return state;
}

void TVirtualButtonAccessible::doAction(const QString& actionName) {
    if (actionName != pressAction() || !owner_ || !button_.Press) {
        return;
    }
    QMetaObject::invokeMethod(
        owner_.data(), [press = button_.Press] { press(); }, Qt::QueuedConnection);
}

QAccessible::Id MakeVirtualButton(QWidget* owner, QAccessibleInterface* parent,
                                  TVirtualButton button) {
    return QAccessible::registerAccessibleInterface(
        new TVirtualButtonAccessible(owner, parent, std::move(button)));
}

void ReleaseVirtualChild(QAccessible::Id child) {
    if (child != 0 && QAccessible::accessibleInterface(child) != nullptr) {
        QAccessible::deleteAccessibleInterface(child);
    }
}

} // namespace platform
