#pragma once
// Reaching a toolbar from the keyboard without changing where the focus
// otherwise goes: the caller's key (F10 in the main window) moves the focus
// onto the toolbar's first item, the arrow keys, Home and End go from item to
// item, Enter or Space press the focused one, and F10 again, Tab or Shift+Tab
// return the focus to where it came from. The items take the focus only for
// that while; the mouse never gives it to them. The focused item shows the
// dotted focus frame.
//
// Placing it, as the mouse does by dragging: during the visit Ctrl with an
// arrow key docks the toolbar at that edge of its form. A floating toolbar's
// window never takes the focus, so the key that enters docks it first, in its
// default dock.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

class TDock97;
class TToolbar97;

namespace tb97 {

class TToolbarKeys : public QObject {
    Q_OBJECT
public:
    // The one of BAR, made on first use.
    static TToolbarKeys& Of(TToolbar97& bar);

    // Focus on the first item that can take it, coming back to RETURNTO;
    // false when none can (a hidden toolbar, no enabled item, a floating one
    // without a dock to go to).
    bool Enter(QWidget* returnTo);
    // The focus back where it came from.
    void Leave();
    bool Active() const { return active_; }
    // Enter or Leave, whichever applies.
    bool Toggle(QWidget* returnTo);

    // The items that take the focus, in display order: visible, enabled, not separators.
    std::vector<QWidget*> FocusItems() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TToolbarKeys(TToolbar97& bar);
    void Watch(bool on);
    void Stop();
    void Step(QWidget* from, int key);
    void Press(QWidget* item);
    // The toolbar into the dock at the edge KEY points to, the visit staying on ITEM.
    void DockAtEdge(QWidget* item, int key);
    TDock97* DockOfForm(int edge) const;
    void PaintFocus(QWidget* item, QEvent* paint);

    TToolbar97& bar_;
    QPointer<QWidget> returnTo_;
    std::vector<QPointer<QWidget>> watched_;
    bool active_ = false;
};

// The program's F10: into BAR, or back out to RETURNTO.
bool ToggleKeyboardFocus(TToolbar97& bar, QWidget* returnTo);

} // namespace tb97
