#pragma once
// What every childless interface with a single press action has in common:
// no object and no children of its own, a parent that owns it, and "press"
// as its one action. Each kind says what it is, where it stands and what a
// press does.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QPointF>
#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

class TLeafAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit TLeafAccessible(QAccessibleInterface* parent) : parent_(parent) {}

    QObject* object() const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return parent_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleActionInterface
    QStringList actionNames() const override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAccessibleInterface* parent_;
};

// A left click at LOCAL in WIDGET (GLOBAL on the screen), through the
// widget's own pointer handling, so that it does exactly what a click with
// the mouse does.
void SendLeftClick(QWidget* widget, const QPointF& local, const QPointF& global);

} // namespace platform
