#pragma once
// How assistive technology reads a window that draws its own frame: a frame
// named by its caption, whose caption buttons (painted, not widgets) are
// push buttons among its children, each with a press action that clicks it
// where it is drawn.

#include "platform/qt/NonClientFrame.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QRect>
#include <QString>
#include <map>
#include <vector>

// The interface for OBJECT when it is a top-level window with its own frame;
// null otherwise.
QAccessibleInterface* FramedWindowAccessible(QObject* object);

// Where caption button BUTTON of FORM stands on the screen; empty when the
// form has no such button.
QRect CaptionButtonScreenRect(const QWidget* form, TCaptionButton button);
// The buttons FORM's caption shows, left to right.
std::vector<TCaptionButton> CaptionButtonsShown(const QWidget* form);

class TFramedWindowAccessible : public QAccessibleWidget {
public:
    explicit TFramedWindowAccessible(QWidget* form);
    ~TFramedWindowAccessible() override;

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    QAccessibleInterface* ButtonInterface(TCaptionButton button) const;
    mutable std::map<TCaptionButton, QAccessible::Id> buttons_;
};
