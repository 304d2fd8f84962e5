#pragma once
// A strip along one edge of a form that holds toolbars in rows and sizes
// itself to them. An empty dock takes no room.

#include "platform/Color.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QMenu;
class TToolbar97;

enum TDockPosition { dpTop, dpBottom, dpLeft, dpRight };
enum TDockBoundLinesValues { blTop, blBottom, blLeft, blRight };
// A set of TDockBoundLinesValues, one bit each.
using TDockBoundLines = unsigned;
constexpr TDockBoundLines BoundLine(TDockBoundLinesValues line) {
    return 1u << line;
}

class TDock97 : public QWidget {
    Q_OBJECT
public:
    // OWNER is the form; PARENT (the owner when null) is where the dock goes.
    explicit TDock97(QWidget* owner, TDockPosition position = dpTop, QWidget* parent = nullptr);
    ~TDock97() override;

    QWidget* Owner() const { return owner_; }
    // Docks of a form are tried in the order they were made.
    unsigned CreationOrder() const { return creationOrder_; }

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool value);
    const QPixmap& Background() const { return FBackground; }
    void SetBackground(const QPixmap& value);
    bool BackgroundTransparent() const { return FBackgroundTransparent; }
    void SetBackgroundTransparent(bool value);
    TDockBoundLines BoundLines() const { return FBoundLines; }
    void SetBoundLines(TDockBoundLines value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool FixAlign() const { return FFixAlign; }
    void SetFixAlign(bool value);
    bool LimitToOneRow() const { return FLimitToOneRow; }
    void SetLimitToOneRow(bool value);
    QMenu* PopupMenu() const;
    void SetPopupMenu(QMenu* value);
    TDockPosition Position() const { return FPosition; }
    void SetPosition(TDockPosition value);

    // Sender, inserting (true) or removing (false), the toolbar.
    std::function<void(TDock97* sender, bool inserting, TToolbar97* bar)> OnInsertRemoveBar;
    std::function<void()> OnResize;

    // Hiding a dock is refused.
    void setVisible(bool visible) override;

    // Toolbars in this dock, in row and position order after arranging.
    const std::vector<TToolbar97*>& Toolbars() const { return toolbars_; }
    int RowCount() const { return static_cast<int>(rowSizes_.size()); }
    // Thickness of ROW across the dock.
    int RowThickness(int row) const;
    bool Vertical() const { return FPosition == dpLeft || FPosition == dpRight; }

    // Places the toolbars in their rows and sizes the dock.
    void ArrangeToolbars();
    void BeginUpdate();
    void EndUpdate();

    // The row a toolbar dropped with its centre at P (across the dock, in dock
    // coordinates) goes to; NEWROW is true when a row must be inserted there.
    struct TDropRow {
        int Row;
        bool NewRow;
    };
    TDropRow RowForPosition(int p) const;
    // Moves every toolbar of row ROW and later one row on.
    void InsertRowAt(int row);

    // The area inside the bound lines.
    QRect DockClientRect() const;
    // Tiles the background over TARGET; ORIGIN is where the painter's origin
    // lies in the dock's client area, so toolbars continue the dock's tiling.
    void PaintBackground(QPainter& painter, const QRect& target, QPoint origin) const;

    // Told by the toolbars.
    void ToolbarInserted(TToolbar97* bar);
    void ToolbarRemoved(TToolbar97* bar);
    void ToolbarVisibilityChanged(TToolbar97* bar);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TRowSize {
        int LargestHeight;
        int LargestWidth;
        int ThicknessHorz;
        int ThicknessVert;
    };
    void SetThickness(int thickness);
    void AlignToParent();
    bool ManagedByLayout() const;
    void PlaceRows(const std::vector<TToolbar97*>& visible);
    const QPixmap& TiledBackground() const;

    QWidget* owner_;
    unsigned creationOrder_;
    bool FAllowDrag = true;
    QPixmap FBackground;
    bool FBackgroundTransparent = false;
    TDockBoundLines FBoundLines = 0;
    TColor FColor;
    bool FFixAlign = false;
    bool FLimitToOneRow = false;
    QPointer<QMenu> FPopupMenu;
    TDockPosition FPosition;

    std::vector<TToolbar97*> toolbars_;
    std::vector<TRowSize> rowSizes_;
    int updateCount_ = 0;
    bool arranging_ = false;
    bool destroying_ = false;
    mutable QPixmap transparentCache_;
};
