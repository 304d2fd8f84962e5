#pragma once
// How assistive technology reads the toolbar family: a dock is a panel, a
// docked toolbar a tool bar named by its caption, a floating one a small
// window of that name with its close square as a button, each toolbar button
// a push button named by the action of its hint with the key as its
// description, and a separator a separator.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>

class QObject;
class TToolbar97;
class TToolbarButton97;

namespace tb97 {

// The interface for OBJECT when CLASSNAME is one of the family's; null otherwise.
QAccessibleInterface* ToolbarAccessible(const QString& className, QObject* object);

// A hint "Action (Key)" taken apart; a hint without a key in brackets at its
// end is all action.
struct THintParts {
    QString Action;
    QString Key;
};
THintParts SplitHint(const QString& hint);

class TToolbarAccessible : public QAccessibleWidget {
public:
    explicit TToolbarAccessible(TToolbar97* bar);
    ~TToolbarAccessible() override;

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    TToolbar97* Bar() const;
    // The close square, while the toolbar floats with one.
    bool ShowsClose() const;
    mutable QAccessible::Id close_ = 0;
};

class TToolbarButtonAccessible : public QAccessibleWidget {
public:
    explicit TToolbarButtonAccessible(TToolbarButton97* button);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    TToolbarButton97* Button() const;
};

} // namespace tb97
