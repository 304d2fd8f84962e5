#pragma once
// A push button that is painted by its window rather than being a widget of
// its own (the caption buttons, the close square of a floating toolbar), as
// assistive technology sees it: a name, a place on the screen and a press
// action. Its parent interface owns it.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

namespace platform {

struct TVirtualButton {
    std::function<QString()> Name;
    // Where it stands on the screen; empty while it is not shown.
    std::function<QRect()> ScreenRect;
    // Carried out after the caller has returned, so that a modal loop it
    // may start does not hold up the screen reader that asked for it.
    std::function<void()> Press;
    std::function<bool()> Pressed; // optional: drawn pressed
};

class TVirtualButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    // OWNER is the widget that paints the button; PARENT its interface.
    TVirtualButtonAccessible(QWidget* owner, QAccessibleInterface* parent, TVirtualButton button);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return parent_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::PushButton; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleActionInterface
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QWidget> owner_;
    QAccessibleInterface* parent_;
    TVirtualButton button_;
};

// Registers BUTTON as a child of PARENT and returns its id; the cache owns it
// until ReleaseVirtualChild. Parents keep the id, which stays safe to look up
// (QAccessible::accessibleInterface) whatever goes first at exit.
QAccessible::Id MakeVirtualButton(QWidget* owner, QAccessibleInterface* parent,
                                  TVirtualButton button);
void ReleaseVirtualChild(QAccessible::Id child);

} // namespace platform
