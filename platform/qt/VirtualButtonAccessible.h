#pragma once
// A push button that is painted by its window rather than being a widget of
// its own (the caption buttons, the close square of a floating toolbar), as
// assistive technology sees it: a name, a place on the screen and a press
// action. Its parent interface owns it.

#include "platform/qt/LeafAccessible.h"

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

class TVirtualButtonAccessible : public TLeafAccessible {
public:
    // OWNER is the widget that paints the button; PARENT its interface.
    TVirtualButtonAccessible(QWidget* owner, QAccessibleInterface* parent, TVirtualButton button);

    bool isValid() const override;
    QWindow* window() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::PushButton; }
    QAccessible::State state() const override;
    void doAction(const QString& actionName) override;

private:
    QPointer<QWidget> owner_;
    TVirtualButton button_;
};

// Registers BUTTON as a child of PARENT and returns its id; the cache owns it
// until ReleaseVirtualChild. Parents keep the id, which stays safe to look up
// (QAccessible::accessibleInterface) whatever goes first at exit.
QAccessible::Id MakeVirtualButton(QWidget* owner, QAccessibleInterface* parent,
                                  TVirtualButton button);
void ReleaseVirtualChild(QAccessible::Id child);

} // namespace platform
