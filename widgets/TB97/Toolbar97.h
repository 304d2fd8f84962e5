#pragma once
// A toolbar: arranges its items (buttons, separators, any other control) in
// a line, docked in a TDock97 or floating in a small tool window of its own.
// All changes between docked and floating go through SetDockedTo.

#include "platform/Color.h"
#include "widgets/TB97/FloatParent.h"
#include "widgets/TB97/FloatingFrame.h"
#include "widgets/TB97/TB97Common.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class TDock97;

class TToolbar97 : public QWidget {
    Q_OBJECT
public:
    // OWNER must be a form. The toolbar starts floating; SetDockedTo docks it.
    explicit TToolbar97(QWidget* owner);
    ~TToolbar97() override;

    QWidget* Owner() const { return owner_; }
    TFloatParent* FloatParent() const { return floatParent_.data(); }

    bool CanDockLeftRight() const { return FCanDockLeftRight; }
    void SetCanDockLeftRight(bool value) { FCanDockLeftRight = value; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool value);
    TDock97* DefaultDock() const;
    void SetDefaultDock(TDock97* value);
    TDock97* DockedTo() const { return FDockedTo; }
    void SetDockedTo(TDock97* value);
    int DockRow() const { return FDockRow; }
    void SetDockRow(int value);
    int DockPos() const { return FDockPos; }
    void SetDockPos(int value);
    QMenu* PopupMenu() const;
    void SetPopupMenu(QMenu* value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }
    // The toolbar's own visibility (a floating toolbar is also hidden while its form is).
    bool Visible() const { return FVisible; }
    void setVisible(bool visible) override;

    std::function<void()> OnClose;
    std::function<void()> OnRecreated;
    std::function<void()> OnRecreating;
    std::function<void()> OnDockChanged;
    std::function<void()> OnDockChanging;

    // Places the toolbar in a dock, on its float parent, or on the form
    // (which floats it). Anything else is refused.
    void SetParentControl(QWidget* parent);

    // Call once the items stand at their stored positions: they are then
    // shown in the order of those positions, whatever order they were made in.
    void Loaded();
    // Lays the items out for the current orientation and resizes the toolbar.
    void ArrangeControls();
    // The items in display order.
    std::vector<QWidget*> Items() const;

    tb97::TBarOrientation Orientation() const;
    bool HasDragHandle() const;
    // The largest visible item (separators not counted), at least 8 × 8.
    QSize LargestItemSize() const { return largestItem_; }
    // Client size the items would need for ORIENTATION, wrapping at WRAPWIDTH
    // when floating (0: no limit).
    QSize ArrangedSize(tb97::TBarOrientation orientation, bool dragHandle, int wrapWidth) const;

    // Floating: the window's rectangle on the screen, and the width at which
    // the items wrap (0: none).
    QRect FloatingRect() const { return floatingRect_; }
    void SetFloatingRect(const QRect& rect);
    // Where the floating window stands: the stored rectangle, as the window
    // system may not yet report where it has just placed the window; where
    // the widget is when none is stored.
    QRect FloatingScreenRect() const;
    int FloatingWidth() const { return floatingWidth_; }
    void SetFloatingWidth(int width);
    // Cross positions of the rows that follow a wrap, while floating.
    const std::vector<int>& RowDividers() const { return dividers_; }
    // Where the client area starts inside the widget (the floating frame).
    QPoint ClientOrigin() const;

    // Keeps a floating toolbar on the screen's work area.
    void KeepOnScreen();
    // Shows or hides a floating toolbar with its form.
    void UpdateFloatingVisibility();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class TDock97;
    struct TArrangement;
    TArrangement Arrange(tb97::TBarOrientation orientation, bool dragHandle, int wrapWidth) const;
    void Reparent(QWidget* parent, TDock97* dock);
    void PlaceInDock(const QRect& bounds);
    void ApplyVisibility();
    void PaintDocked(QPainter& painter);
    void PaintFloating(QPainter& painter);

    QWidget* owner_;
    QPointer<TFloatParent> floatParent_;
    tb97::TFormHook* hook_;
    std::unique_ptr<tb97::TFloatingFrame> frame_;
    bool FCanDockLeftRight = true;
    QString FCaption;
    TColor FColor;
    bool FCloseButton = true;
    QPointer<TDock97> FDefaultDock;
    TDock97* FDockedTo = nullptr;
    int FDockRow = 0;
    int FDockPos = -1;
    QPointer<QMenu> FPopupMenu;
    bool FShowHint = false;
    bool FVisible = true;

    std::vector<QWidget*> items_;
    QRect floatingRect_;
    int floatingWidth_ = 0;
    QSize largestItem_{8, 8};
    std::vector<int> dividers_;
    // What the toolbar is in the middle of, for the work of its own that
    // comes back to it. Arranging sets the items' geometry, whose Resize,
    // Show and Hide events come back through our event filter, and resizes
    // the toolbar, which makes its dock place it again: neither may start
    // another arrangement. Reparenting hides and shows the toolbar through
    // setVisible, which is not the user's showing or hiding. Going away, the
    // dock and the children leave: nothing is arranged any more.
    enum class TBusy { kIdle, kArranging, kReparenting, kDestroying };
    TBusy busy_ = TBusy::kIdle;
};

namespace tb97 {

// How a toolbar lays out its items in DOCK (floating when there is none).
TBarOrientation OrientationIn(const TDock97* dock);

} // namespace tb97
