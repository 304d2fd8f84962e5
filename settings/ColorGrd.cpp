#include "settings/ColorGrd.h"

#include "platform/qt/QtColor.h"
#include "settings/ColorGrdAccessible.h"
#include "settings/ColorGrdPalette.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

// Cells 0 to 7 show palette entries 0 to 7, cells 8 to 15 entries 12 to 19.
constexpr std::size_t PaletteEntryOfCell(int cell) {
    return static_cast<std::size_t>(cell < 8 ? cell : cell + 4);
}

bool IsCell(int index) {
    return index >= 0 && index < TColorGrid::kCellCount;
}

// Black on light channels, white on dark ones, channel by channel.
QColor ContrastColor(TColor rgb) {
    auto flip = [](int channel) { return channel >= 128 ? 0 : 255; };
    return QColor(flip(RedOf(rgb)), flip(GreenOf(rgb)), flip(BlueOf(rgb)));
}

// Rectangles here are whole pixels, drawn with fillRect so that no pixel is
// touched twice: an inverting outline must invert every pixel exactly once.
void Outline(QPainter& painter, const QRect& r, const QColor& color) {
    if (r.isEmpty()) {
        return;
    }
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
    if (r.height() > 1) {
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
    }
    if (r.height() > 2) {
        painter.fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), color);
        if (r.width() > 1) {
            painter.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 2), color);
        }
    }
}

// A filled rectangle with a one-pixel outline, both inside R.
void Rectangle(QPainter& painter, const QRect& r, const QColor& pen, const QColor& brush) {
    painter.fillRect(r, brush);
    Outline(painter, r, pen);
}

void InvertedOutline(QPainter& painter, const QRect& r) {
    const QPainter::CompositionMode old = painter.compositionMode();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    Outline(painter, r, Qt::black);
    painter.setCompositionMode(old);
}

// One sunken pass: top and left in shadow, then bottom and right in highlight,
// which take the two corners they share with the first pair.
void SunkenEdge(QPainter& painter, const QRect& r) {
    if (r.isEmpty()) {
        return;
    }
    const QColor shadow = ToQColor(clBtnShadow);
    const QColor highlight = ToQColor(clBtnHighlight);
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), shadow);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), shadow);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), highlight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), highlight);
}

// The dotted focus rectangle: every other pixel of the outline inverted.
void FocusRect(QPainter& painter, const QRect& r) {
    if (r.isEmpty()) {
        return;
    }
    const QPainter::CompositionMode old = painter.compositionMode();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    auto dot = [&](int x, int y) {
        if ((x + y) % 2 == 0) {
            painter.fillRect(QRect(x, y, 1, 1), Qt::black);
        }
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        if (r.bottom() != r.top()) {
            dot(x, r.bottom());
        }
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        dot(r.left(), y);
        if (r.right() != r.left()) {
            dot(r.right(), y);
        }
    }
    painter.setCompositionMode(old);
}

} // namespace

TColorGrid::TColorGrid(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted here
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 100, 100);
    FitToCells(false);
}

// ---- properties ----

void TColorGrid::SetGridOrdering(TGridOrdering value) {
    if (value == FGridOrdering) {
        return;
    }
    FGridOrdering = value;
    FColumnCount = 16 >> static_cast<int>(value);
    FRowCount = 1 << static_cast<int>(value);
    FitToCells(true);
}

// The setters repaint through update(): the cells they name, the marks and
// the frame all come out of one paint of the whole grid.
void TColorGrid::SetForegroundIndex(int value) {
    if (value == FForegroundIndex || !FForegroundEnabled) {
        return;
    }
    const int old = FForegroundIndex;
    FForegroundIndex = value;
    update();
    if (QAccessible::isActive()) {
        AnnounceGridMark(*this, old);
        AnnounceGridMark(*this, value);
    }
    if (OnChange) {
        OnChange(*this);
    }
}

void TColorGrid::SetBackgroundIndex(int value) {
    if (value == FBackgroundIndex || !FBackgroundEnabled) {
        return;
    }
    const int old = FBackgroundIndex;
    FBackgroundIndex = value;
    update();
    if (QAccessible::isActive()) {
        AnnounceGridMark(*this, old);
        AnnounceGridMark(*this, value);
    }
    if (OnChange) {
        OnChange(*this);
    }
}

void TColorGrid::SetForegroundEnabled(bool value) {
    if (value == FForegroundEnabled) {
        return;
    }
    FForegroundEnabled = value;
    update();
}

void TColorGrid::SetBackgroundEnabled(bool value) {
    if (value == FBackgroundEnabled) {
        return;
    }
    FBackgroundEnabled = value;
    update();
}

void TColorGrid::SetSelection(int value) {
    if (value == FSelection) {
        return;
    }
    FSelection = value;
    update();
    if (QAccessible::isActive()) {
        AnnounceGridSelection(*this);
    }
}

void TColorGrid::SetCtl3D(bool value) {
    if (value == FCtl3D) {
        return;
    }
    FCtl3D = value;
    update();
}

void TColorGrid::SetTabStop(bool value) {
    setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus);
}

TColor TColorGrid::CellColor(int index) {
    if (!IsCell(index)) {
        return 0;
    }
    const TPaletteEntry& entry = DefaultPalette[PaletteEntryOfCell(index)];
    return RgbColor(entry.Red, entry.Green, entry.Blue);
}

TColor TColorGrid::ForegroundColorValue() const {
    return CellColor(FForegroundIndex);
}

// ---- geometry ----

QRect TColorGrid::CellRect(int index) const {
    return QRect((index % FColumnCount) * FCellWidth, (index / FColumnCount) * FCellHeight,
                 FCellWidth, FCellHeight);
}

int TColorGrid::CellFromPoint(int x, int y) const {
    x = std::clamp(x, 0, std::max(width() - 1, 0));
    y = std::clamp(y, 0, std::max(height() - 1, 0));
    // A grid narrower than its columns has empty cells; never divide by them.
    return (y / std::max(FCellHeight, 1)) * FColumnCount + x / std::max(FCellWidth, 1);
}

void TColorGrid::FitToCells(bool repaint) {
    const QSize whole(FColumnCount * (width() / FColumnCount), FRowCount * (height() / FRowCount));
    if (whole != size()) {
        setGeometry(x(), y(), whole.width(), whole.height());
    }
    FCellWidth = width() / FColumnCount;
    FCellHeight = height() / FRowCount;
    if (repaint) {
        update();
    }
}

void TColorGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitToCells(false);
}

// ---- painting ----

void TColorGrid::PaintCell(QPainter& painter, int index, bool framed) const {
    if (!IsCell(index)) {
        return;
    }
    QRect r = CellRect(index);
    const QColor cell = ToQColor(CellColor(index));
    if (FCtl3D) {
        Outline(painter, r, ToQColor(clBtnFace));
        r.adjust(1, 1, -1, -1);
        for (int pass = 0; pass < 2; ++pass) {
            SunkenEdge(painter, r);
            r.adjust(1, 1, -1, -1);
        }
        // The pen takes the cell colour too: no outline shows.
        painter.fillRect(r, cell);
        if (framed) {
            FocusRect(painter, r.adjusted(1, 1, -1, -1));
        }
        return;
    }
    if (!framed) {
        Rectangle(painter, r, Qt::black, cell);
        return;
    }
    // The outline inverts what is under it (the cell as painted unframed).
    InvertedOutline(painter, r);
    painter.fillRect(r.adjusted(1, 1, -1, -1), cell);
    Rectangle(painter, r.adjusted(2, 2, -2, -2), Qt::black, cell);
}

void TColorGrid::PaintMarks(QPainter& painter) const {
    const bool shared = FForegroundIndex == FBackgroundIndex;
    auto mark = [&](int index, const char* text) {
        if (!IsCell(index)) {
            return;
        }
        painter.setPen(ContrastColor(CellColor(index)));
        painter.drawText(CellRect(index), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip,
                         QString::fromLatin1(text));
    };
    if (FForegroundEnabled) {
        mark(FForegroundIndex, shared && FBackgroundEnabled ? "VH" : "VG");
    }
    // One shared mark is drawn once.
    if (FBackgroundEnabled && !(shared && FForegroundEnabled)) {
        mark(FBackgroundIndex, "HG");
    }
}

void TColorGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.fillRect(rect(), ToQColor(clBtnFace)); // beside the cells, before a fit
    for (int i = 0; i < kCellCount; ++i) {
        PaintCell(painter, i, false);
    }
    if (FGridFocused) {
        PaintCell(painter, FSelection, true);
    }
    PaintMarks(painter);
}

// ---- focus and keyboard ----

void TColorGrid::focusInEvent(QFocusEvent* event) {
    FGridFocused = true;
    update();
    QWidget::focusInEvent(event);
    if (QAccessible::isActive()) {
        AnnounceGridSelection(*this); // the cell, after the grid itself
    }
}

void TColorGrid::focusOutEvent(QFocusEvent* event) {
    FGridFocused = false;
    update();
    QWidget::focusOutEvent(event);
}

bool TColorGrid::event(QEvent* event) {
    // The arrows and the letters the grid acts on are its own, not a
    // shortcut of the window around it.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & Qt::AltModifier) && SelectionAfterKey(key->key()) >= 0) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

int TColorGrid::SelectionAfterKey(int key) const {
    const int n = FColumnCount * FRowCount;
    const int last = n - 1;
    const int w = FColumnCount;
    const int s = FSelection;
    switch (key) {
    case Qt::Key_Space:
    case Qt::Key_Right:
        return s == last ? 0 : s + 1;
    case Qt::Key_Left:
        return s == 0 ? last : s - 1;
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return last;
    case Qt::Key_Up:
        // Into the bottom row one column to the left: the 16 cells wrap as
        // one sequence in reading order.
        return s >= w ? s - w : (s > 0 ? n - w + s - 1 : last);
    case Qt::Key_Down:
        return s + w < n ? s + w : (s == last ? 0 : (s % w) + 1);
    case Qt::Key_F:
    case Qt::Key_B:
        return s;
    default:
        return -1;
    }
}

void TColorGrid::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyDown) {
        OnKeyDown(*this, key, event->modifiers());
    }
    if (key == 0) {
        event->accept();
        return;
    }
    // Alt combinations belong to the window's menus and mnemonics.
    const int next = (event->modifiers() & Qt::AltModifier) ? -1 : SelectionAfterKey(key);
    if (next < 0) {
        event->ignore(); // left to the window
        return;
    }
    event->accept();
    if (key == Qt::Key_F || key == Qt::Key_B) {
        if (key == Qt::Key_F) {
            PickForeground(FSelection);
        } else {
            PickBackground(FSelection);
        }
        Click();
        return;
    }
    SetSelection(next);
}

// ---- mouse ----

void TColorGrid::PickForeground(int cell) {
    if (!FForegroundEnabled && FClickEnablesColor) {
        FForegroundEnabled = true;
        FForegroundIndex = -1; // so that picking the same cell counts as a change
        update();
    }
    SetForegroundIndex(cell);
}

void TColorGrid::PickBackground(int cell) {
    if (!FBackgroundEnabled && FClickEnablesColor) {
        FBackgroundEnabled = true;
        FBackgroundIndex = -1;
        update();
    }
    SetBackgroundIndex(cell);
}

void TColorGrid::Click() {
    if (OnClick) {
        OnClick(*this);
    }
}

void TColorGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (OnMouseDown) {
        OnMouseDown(*this, event->button(), event->modifiers(), at.x(), at.y());
    }
    FDragButton = event->button();
    FButtonHeld = true;
    const int cell = CellFromPoint(at.x(), at.y());
    if (FDragButton == Qt::LeftButton) {
        leftPressed_ = true;
        PickForeground(cell);
    } else {
        // Held until this button's release, wherever the mouse goes meanwhile.
        grabMouse();
        PickBackground(cell);
    }
    SetSelection(cell);
    if (TabStop()) {
        setFocus(Qt::MouseFocusReason);
    }
}

void TColorGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (OnMouseMove) {
        OnMouseMove(*this, event->button(), event->modifiers(), at.x(), at.y());
    }
    if (!FButtonHeld) {
        return;
    }
    // Clamped: dragging outside the grid keeps choosing its edge cells.
    const int cell = CellFromPoint(at.x(), at.y());
    if (FDragButton == Qt::LeftButton) {
        SetForegroundIndex(cell);
    } else {
        SetBackgroundIndex(cell);
    }
    SetSelection(cell);
}

void TColorGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (OnMouseUp) {
        OnMouseUp(*this, event->button(), event->modifiers(), at.x(), at.y());
    }
    FButtonHeld = false;
    if (FDragButton != Qt::LeftButton) {
        releaseMouse();
    }
    if (event->button() == Qt::LeftButton) {
        const bool clicked = leftPressed_ && rect().contains(at);
        leftPressed_ = false;
        if (clicked) {
            Click();
        }
    }
}
