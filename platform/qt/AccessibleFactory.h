#pragma once
// The factory step every widget class with an interface of its own takes:
// Qt asks with each class name of an object's ancestry, and the one that
// names WIDGET gets an INTERFACE made for it.

#include <QAccessibleInterface>
#include <QObject>
#include <QString>

namespace platform {

template <class Widget, class Interface>
QAccessibleInterface* AccessibleFor(const QString& className, QObject* object) {
    if (object == nullptr || !object->isWidgetType() ||
        className != QLatin1String(Widget::staticMetaObject.className())) {
        return nullptr;
    }
    return new Interface(static_cast<Widget*>(object));
}

} // namespace platform
