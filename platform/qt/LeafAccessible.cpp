#include "platform/qt/LeafAccessible.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace platform {

void* TLeafAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

QStringList TLeafAccessible::actionNames() const {
    return {pressAction()};
}

void SendLeftClick(QWidget* widget, const QPointF& local, const QPointF& global) {
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

} // namespace platform
