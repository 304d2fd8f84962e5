#include "widgets/TB97/Dock97.h"

#include "platform/qt/QtColor.h"
#include "widgets/TB97/TB97Common.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/WidgetProperty.h"

#include <QContextMenuEvent>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <climits>

namespace {

QWidget* CheckedOwner(QWidget* owner) {
    if (owner == nullptr || !owner->isWindow()) {
        throw EInvalidOperation("TDock97 must be owned by a form");
    }
    return owner;
}

QWidget* CheckedParent(QWidget* parent) {
    for (QWidget* w = parent; w != nullptr; w = w->parentWidget()) {
        if (qobject_cast<TToolbar97*>(w) != nullptr || qobject_cast<TDock97*>(w) != nullptr) {
            throw EInvalidOperation(
                "A TDock97 control cannot be placed inside a TToolbar97 or another TDock97");
        }
    }
    return parent;
}

unsigned NextCreationOrder() {
    static unsigned made = 0;
    return ++made;
}

bool LayoutHolds(QLayout* layout, QWidget* widget) {
    if (layout == nullptr) {
        return false;
    }
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget || LayoutHolds(item->layout(), widget)) {
            return true;
        }
    }
    return false;
}

} // namespace

TDock97::TDock97(QWidget* owner, TDockPosition position, QWidget* parent)
    : QWidget(CheckedParent(parent != nullptr ? parent : CheckedOwner(owner))),
      owner_(CheckedOwner(owner)), creationOrder_(NextCreationOrder()), FColor(clBtnFace),
      FPosition(position) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (parentWidget() != nullptr) {
        parentWidget()->installEventFilter(this);
    }
    ArrangeToolbars();
}

TDock97::~TDock97() {
    destroying_ = true;
    // The toolbars go with the dock's children; they need not tell us.
    for (TToolbar97* bar : toolbars_) {
        bar->FDockedTo = nullptr;
    }
}

void TDock97::setVisible(bool visible) {
    // Reparenting and closing the form hide their children on the way.
    if (!visible && !destroying_ && parentWidget() != nullptr && parentWidget()->isVisible() &&
        isVisible()) {
        throw EInvalidOperation("Cannot hide a TDock97");
    }
    QWidget::setVisible(visible);
}

// ---- properties ----

void TDock97::SetAllowDrag(bool value) {
    if (!StoreIfChanged(FAllowDrag, value)) {
        return;
    }
    for (TToolbar97* bar : toolbars_) {
        bar->ArrangeControls(); // the drag handle comes or goes
    }
    ArrangeToolbars();
}

void TDock97::SetBackground(const QPixmap& value) {
    FBackground = value;
    transparentCache_ = QPixmap();
    update();
    for (TToolbar97* bar : toolbars_) {
        bar->update();
    }
}

void TDock97::SetBackgroundTransparent(bool value) {
    if (StoreIfChanged(FBackgroundTransparent, value)) {
        SetBackground(FBackground);
    }
}

void TDock97::SetBoundLines(TDockBoundLines value) {
    if (StoreIfChanged(FBoundLines, value)) {
        ArrangeToolbars();
        update();
    }
}

void TDock97::SetColor(TColor value) {
    if (StoreIfChanged(FColor, value)) {
        SetBackground(FBackground);
    }
}

void TDock97::SetFixAlign(bool value) {
    if (StoreIfChanged(FFixAlign, value)) {
        ArrangeToolbars();
    }
}

void TDock97::SetLimitToOneRow(bool value) {
    if (StoreIfChanged(FLimitToOneRow, value)) {
        ArrangeToolbars();
    }
}

void TDock97::SetPosition(TDockPosition value) {
    if (value == FPosition) {
        return;
    }
    const auto widgets = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    if (!widgets.isEmpty()) {
        throw EInvalidOperation(
            "Cannot change Position of a TDock97 if it already contains controls");
    }
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    FPosition = value;
    ArrangeToolbars();
}

// ---- toolbars ----

void TDock97::ToolbarInserted(TToolbar97* bar) {
    if (std::find(toolbars_.begin(), toolbars_.end(), bar) == toolbars_.end()) {
        toolbars_.push_back(bar);
    }
    if (OnInsertRemoveBar) {
        OnInsertRemoveBar(this, true, bar);
    }
    ArrangeToolbars();
}

void TDock97::ToolbarRemoved(TToolbar97* bar) {
    toolbars_.erase(std::remove(toolbars_.begin(), toolbars_.end(), bar), toolbars_.end());
    if (OnInsertRemoveBar) {
        OnInsertRemoveBar(this, false, bar);
    }
    ArrangeToolbars();
}

void TDock97::ToolbarVisibilityChanged(TToolbar97* bar) {
    if (OnInsertRemoveBar) {
        OnInsertRemoveBar(this, bar->Visible(), bar);
    }
    ArrangeToolbars();
}

void TDock97::BeginUpdate() {
    ++updateCount_;
}

void TDock97::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) {
        ArrangeToolbars();
    }
}

int TDock97::RowThickness(int row) const {
    if (row < 0 || row >= RowCount()) {
        return 0;
    }
    const TRowSize& size = rowSizes_[static_cast<size_t>(row)];
    return Vertical() ? size.ThicknessVert : size.ThicknessHorz;
}

// ---- arranging ----

void TDock97::ArrangeToolbars() {
    if (updateCount_ > 0 || arranging_ || destroying_) {
        return;
    }
    arranging_ = true;
    std::vector<TToolbar97*> visible;
    for (TToolbar97* bar : toolbars_) {
        if (bar->Visible()) {
            visible.push_back(bar);
        }
    }
    rowSizes_.clear();
    if (visible.empty()) {
        SetThickness(FFixAlign ? 1 : 0);
        arranging_ = false;
        return;
    }
    if (FLimitToOneRow) {
        for (TToolbar97* bar : visible) {
            bar->FDockRow = 0;
        }
    }
    std::stable_sort(visible.begin(), visible.end(), [](TToolbar97* a, TToolbar97* b) {
        return a->FDockRow != b->FDockRow ? a->FDockRow < b->FDockRow : a->FDockPos < b->FDockPos;
    });
    // Rows left empty are closed up.
    int row = -1;
    int lastStored = INT_MIN;
    for (TToolbar97* bar : visible) {
        if (bar->FDockRow != lastStored) {
            lastStored = bar->FDockRow;
            ++row;
        }
        bar->FDockRow = row;
    }
    rowSizes_.assign(static_cast<size_t>(row + 1), TRowSize{8, 8, 12, 12});
    for (TToolbar97* bar : visible) {
        TRowSize& size = rowSizes_[static_cast<size_t>(bar->FDockRow)];
        const QSize largest = bar->LargestItemSize();
        size.LargestHeight = std::max(size.LargestHeight, largest.height());
        size.LargestWidth = std::max(size.LargestWidth, largest.width());
        size.ThicknessHorz = size.LargestHeight + 4;
        size.ThicknessVert = size.LargestWidth + 4;
    }
    PlaceRows(visible);
    arranging_ = false;
}

// Along each row the toolbars keep their order without overlapping; a row
// that runs past the dock's end is pushed back, but never before its start.
void TDock97::PlaceRows(const std::vector<TToolbar97*>& visible) {
    const QRect client = DockClientRect();
    const int length = Vertical() ? client.height() : client.width();
    const auto lengthOf = [this](TToolbar97* bar) {
        return Vertical() ? bar->height() : bar->width();
    };
    int offset = 0;
    size_t first = 0;
    for (int row = 0; row < RowCount(); ++row) {
        size_t last = first;
        while (last < visible.size() && visible[last]->FDockRow == row) {
            ++last;
        }
        int end = 0;
        for (size_t i = first; i < last; ++i) {
            visible[i]->FDockPos = std::max(visible[i]->FDockPos, end);
            end = visible[i]->FDockPos + lengthOf(visible[i]);
        }
        // A dock not laid out yet has no length to push back against.
        if (length > 0 && end > length) {
            int limit = length;
            for (size_t i = last; i-- > first;) {
                const int pos =
                    std::max(0, std::min(visible[i]->FDockPos, limit - lengthOf(visible[i])));
                visible[i]->FDockPos = pos;
                limit = pos;
            }
            // What no longer fits in front still runs on in order.
            end = 0;
            for (size_t i = first; i < last; ++i) {
                visible[i]->FDockPos = std::max(visible[i]->FDockPos, end);
                end = visible[i]->FDockPos + lengthOf(visible[i]);
            }
        }
        const int thickness = RowThickness(row);
        for (size_t i = first; i < last; ++i) {
            TToolbar97* bar = visible[i];
            const int along = bar->FDockPos;
            if (Vertical()) {
                bar->PlaceInDock(
                    QRect(client.left() + offset, client.top() + along, thickness, lengthOf(bar)));
            } else {
                bar->PlaceInDock(
                    QRect(client.left() + along, client.top() + offset, lengthOf(bar), thickness));
            }
        }
        offset += thickness;
        first = last;
    }
    const int lines = Vertical() ? ((FBoundLines & BoundLine(blLeft)) ? 1 : 0) +
                                       ((FBoundLines & BoundLine(blRight)) ? 1 : 0)
                                 : ((FBoundLines & BoundLine(blTop)) ? 1 : 0) +
                                       ((FBoundLines & BoundLine(blBottom)) ? 1 : 0);
    SetThickness(offset + lines);
}

TDock97::TDropRow TDock97::RowForPosition(int p) const {
    const QRect client = DockClientRect();
    int start = Vertical() ? client.left() : client.top();
    for (int row = 0;; ++row) {
        const int end = row < RowCount() ? start + RowThickness(row) : INT_MAX;
        if (p <= start + 5) {
            return {row, true};
        }
        if (end == INT_MAX || p <= end - 5) {
            return {row, row >= RowCount()};
        }
        start = end;
    }
}

void TDock97::InsertRowAt(int row) {
    for (TToolbar97* bar : toolbars_) {
        if (bar->FDockRow >= row) {
            ++bar->FDockRow;
        }
    }
}

// ---- geometry ----

QRect TDock97::DockClientRect() const {
    QRect client = rect();
    if (width() >= 2 && height() >= 2) {
        client.adjust((FBoundLines & BoundLine(blLeft)) ? 1 : 0,
                      (FBoundLines & BoundLine(blTop)) ? 1 : 0,
                      (FBoundLines & BoundLine(blRight)) ? -1 : 0,
                      (FBoundLines & BoundLine(blBottom)) ? -1 : 0);
    }
    return client;
}

bool TDock97::ManagedByLayout() const {
    return parentWidget() != nullptr &&
           LayoutHolds(parentWidget()->layout(), const_cast<TDock97*>(this));
}

// The outer edge stays where it is: a bottom dock grows upward and a right
// dock leftward. In a layout the layout keeps the edges.
void TDock97::SetThickness(int thickness) {
    const QRect old = geometry();
    if (Vertical()) {
        setFixedWidth(thickness);
    } else {
        setFixedHeight(thickness);
    }
    if (!ManagedByLayout()) {
        if (FPosition == dpBottom) {
            move(old.left(), old.top() + old.height() - thickness);
        } else if (FPosition == dpRight) {
            move(old.left() + old.width() - thickness, old.top());
        }
        AlignToParent();
    }
}

// Outside a layout the dock spans its parent along its edge.
void TDock97::AlignToParent() {
    if (parentWidget() == nullptr || ManagedByLayout()) {
        return;
    }
    const QSize area = parentWidget()->size();
    switch (FPosition) {
    case dpTop:
        setGeometry(0, 0, area.width(), height());
        break;
    case dpBottom:
        setGeometry(0, area.height() - height(), area.width(), height());
        break;
    case dpLeft:
        setGeometry(0, 0, width(), area.height());
        break;
    case dpRight:
        setGeometry(area.width() - width(), 0, width(), area.height());
        break;
    }
}

bool TDock97::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        AlignToParent();
    }
    return QWidget::eventFilter(watched, event);
}

void TDock97::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!arranging_) {
        ArrangeToolbars(); // a shorter dock pushes its rows back
    }
    if (OnResize) {
        OnResize();
    }
}

// ---- painting ----

const QPixmap& TDock97::TiledBackground() const {
    if (!FBackgroundTransparent || FBackground.isNull()) {
        return FBackground;
    }
    if (transparentCache_.isNull()) {
        QImage image = FBackground.toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb key = image.pixel(0, image.height() - 1);
        const QRgb color = ToQColor(FColor).rgb();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == key) {
                    image.setPixel(x, y, color);
                }
            }
        }
        transparentCache_ = QPixmap::fromImage(image);
    }
    return transparentCache_;
}

void TDock97::PaintBackground(QPainter& painter, const QRect& target, QPoint origin) const {
    const QPixmap& tile = TiledBackground();
    if (tile.isNull() || target.isEmpty()) {
        return;
    }
    const QPoint at = target.topLeft() + origin;
    const QPoint offset(((at.x() % tile.width()) + tile.width()) % tile.width(),
                        ((at.y() % tile.height()) + tile.height()) % tile.height());
    painter.drawTiledPixmap(target, tile, offset);
}

void TDock97::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(FColor));
    const QRect client = DockClientRect();
    PaintBackground(painter, client, -client.topLeft());
    if (width() < 2 || height() < 2) {
        return;
    }
    const QColor shadow = ToQColor(clBtnShadow);
    const QColor highlight = ToQColor(clBtnHighlight);
    if (FBoundLines & BoundLine(blTop)) {
        painter.fillRect(QRect(0, 0, width(), 1), shadow);
    }
    if (FBoundLines & BoundLine(blLeft)) {
        painter.fillRect(QRect(0, 0, 1, height()), shadow);
    }
    if (FBoundLines & BoundLine(blBottom)) {
        painter.fillRect(QRect(0, height() - 1, width(), 1), highlight);
    }
    if (FBoundLines & BoundLine(blRight)) {
        painter.fillRect(QRect(width() - 1, 0, 1, height()), highlight);
    }
}

void TDock97::contextMenuEvent(QContextMenuEvent* event) {
    if (FPopupMenu) {
        FPopupMenu->popup(event->globalPos());
    }
}

QMenu* TDock97::PopupMenu() const {
    return FPopupMenu.data();
}

void TDock97::SetPopupMenu(QMenu* value) {
    FPopupMenu = value;
}
