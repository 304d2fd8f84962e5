#pragma once
// A self-painted grid of the 16 basic colours. The left mouse button picks the
// foreground colour, any other button the background colour; each choice is
// marked on its cell ("VG", "HG", or "VH" when both share one), and a
// selection frame follows the last cell touched by mouse or keyboard.

#include "platform/Color.h"

#include <QWidget>
#include <functional>

class QPainter;

// Columns x rows: columns = 16 >> ordinal, rows = 1 << ordinal.
enum TGridOrdering { go16x1, go8x2, go4x4, go2x8, go1x16 };

class TColorGrid : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TColorGrid& sender)>;
    // A handler may set KEY to 0 to keep the grid from acting on it.
    using TKeyEvent =
        std::function<void(TColorGrid& sender, int& key, Qt::KeyboardModifiers shift)>;
    using TMouseEvent = std::function<void(TColorGrid& sender, Qt::MouseButton button,
                                           Qt::KeyboardModifiers shift, int x, int y)>;

    static constexpr int kCellCount = 16;

    explicit TColorGrid(QWidget* parent = nullptr);

    bool ClickEnablesColor() const { return FClickEnablesColor; }
    void SetClickEnablesColor(bool value) { FClickEnablesColor = value; }
    TGridOrdering GridOrdering() const { return FGridOrdering; }
    void SetGridOrdering(TGridOrdering value);
    int ForegroundIndex() const { return FForegroundIndex; }
    void SetForegroundIndex(int value);
    int BackgroundIndex() const { return FBackgroundIndex; }
    void SetBackgroundIndex(int value);
    bool ForegroundEnabled() const { return FForegroundEnabled; }
    void SetForegroundEnabled(bool value);
    bool BackgroundEnabled() const { return FBackgroundEnabled; }
    void SetBackgroundEnabled(bool value);
    int Selection() const { return FSelection; }
    void SetSelection(int value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool value);
    // Whether Tab reaches the grid and a click gives it the keyboard focus.
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool value);

    // The plain RGB colour of the foreground cell; black for an index
    // outside the grid.
    TColor ForegroundColorValue() const;
    // The colour of cell INDEX (0 to 15); black outside the grid.
    static TColor CellColor(int index);

    int ColumnCount() const { return FColumnCount; }
    int RowCount() const { return FRowCount; }
    int CellWidth() const { return FCellWidth; }
    int CellHeight() const { return FCellHeight; }
    bool GridFocused() const { return FGridFocused; }
    QRect CellRect(int index) const;
    int CellFromPoint(int x, int y) const;

    // Raised after ForegroundIndex or BackgroundIndex has changed.
    TNotifyEvent OnChange;
    // A left click, and the F and B keys.
    TNotifyEvent OnClick;
    TKeyEvent OnKeyDown;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FitToCells(bool repaint);
    void PaintCell(QPainter& painter, int index, bool framed) const;
    void PaintMarks(QPainter& painter) const;
    void PickForeground(int cell);
    void PickBackground(int cell);
    // The new selection for KEY, or -1 when the key is not the grid's.
    int SelectionAfterKey(int key) const;
    void Click();

    bool FClickEnablesColor = false;
    TGridOrdering FGridOrdering = go4x4;
    int FForegroundIndex = 0;
    int FBackgroundIndex = 0;
    bool FForegroundEnabled = true;
    bool FBackgroundEnabled = true;
    int FSelection = 0;
    bool FCtl3D = true;
    int FColumnCount = 4;
    int FRowCount = 4;
    int FCellWidth = 0;
    int FCellHeight = 0;
    bool FGridFocused = false;
    Qt::MouseButton FDragButton = Qt::NoButton;
    bool FButtonHeld = false;
    bool leftPressed_ = false; // a left press over the grid not yet released
};
