#pragma once
// The float parent and the form hook: what a toolbar puts on its form so it
// can float. Floating toolbars are tool windows owned by their float parent;
// the hook watches the form and the application so they are shown only while
// the form is shown and the application is active.

#include <QObject>
#include <QWidget>
#include <vector>

class TToolbar97;

// A plain, empty child of the form that owns the form's floating toolbars.
class TFloatParent : public QWidget {
    Q_OBJECT
public:
    explicit TFloatParent(QWidget* form);
};

namespace tb97 {

// One per form, shared by all the form's toolbars and counted by them; the
// last toolbar to let go removes it from the form.
class TFormHook : public QObject {
public:
    static TFormHook* Acquire(QWidget* form, TToolbar97* bar);
    void Release(TToolbar97* bar);
    // Toolbars holding the hook of FORM (0 when it has none).
    static int HolderCount(const QWidget* form);
    // The application is the active one, as the platform last told us.
    bool ApplicationActive() const { return appActive_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TFormHook(QWidget* form);
    void UpdateBars();
    bool FloatingBarActive() const;
    QWidget* form_;
    std::vector<TToolbar97*> bars_;
    bool appActive_;
};

} // namespace tb97
