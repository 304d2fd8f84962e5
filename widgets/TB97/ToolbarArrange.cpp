// How a toolbar lays out its items: in runs that end at a separator, along
// the row from the leading margin, wrapped into further rows only while
// floating. The rule is written once for both orientations, in terms of the
// row's two axes.

#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/TB97Tables.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarAxes.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <algorithm>

using tb97::TBarAxes;
using tb97::TBarOrientation;

namespace {

// The largest item counts as at least this wide and high.
constexpr int kLeastItemExtent = 8;
// What an empty toolbar has between its leading and trailing margins.
constexpr int kEmptyRowLength = 8;
// Between two rows of a wrapped toolbar where a separator ended the first:
// room for the divider lines.
constexpr int kDividedRowGap = 6;

// The separator ITEM is, or null; asked once per item and pass, as the
// layout runs for every candidate size while a toolbar is dragged.
const TToolbarSep97* AsSeparator(const QWidget* item) {
    return qobject_cast<const TToolbarSep97*>(item);
}

// The largest visible item, separators not counted.
QSize LargestItem(const std::vector<QWidget*>& items) {
    QSize largest(kLeastItemExtent, kLeastItemExtent);
    for (const QWidget* item : items) {
        if (!item->isHidden() && AsSeparator(item) == nullptr) {
            largest = largest.expandedTo(item->size());
        }
    }
    return largest;
}

// An item's length along the row; a separator's is set per orientation.
int LengthOf(const TBarAxes& axes, const QWidget* item, const TToolbarSep97* sep) {
    return sep != nullptr ? axes.Along(QSize(sep->SizeHorz(), sep->SizeVert()))
                          : axes.Along(item->size());
}

// Where an item goes with its row starting across at CROSS: a separator
// fills the row's thickness, anything else keeps its size, centred across it.
QRect BoundsAt(const TBarAxes& axes, const QWidget* item, bool separator, int pos, int cross,
               int length, int rowThickness) {
    if (separator) {
        return axes.Rect(pos, cross, axes.Size(length, rowThickness));
    }
    const int centred = cross + (rowThickness - axes.Across(item->size())) / 2;
    return axes.Rect(pos, centred, item->size());
}

// The run starting at FIRST: the items up to and including the next visible
// separator. Its end (an index) and its length along the row.
struct TRun {
    size_t End;
    int Length;
};
TRun RunFrom(const TBarAxes& axes, const std::vector<QWidget*>& items, size_t first) {
    TRun run{first, 0};
    while (run.End < items.size()) {
        const QWidget* item = items[run.End++];
        if (item->isHidden()) {
            continue;
        }
        const TToolbarSep97* sep = AsSeparator(item);
        run.Length += LengthOf(axes, item, sep);
        if (sep != nullptr) {
            break;
        }
    }
    return run;
}

// Sets VARIABLE to VALUE for the scope, and back to what it was after.
template <class T> class TScopedValue {
public:
    TScopedValue(T& variable, T value) : variable_(variable), saved_(variable) {
        variable_ = value;
    }
    ~TScopedValue() { variable_ = saved_; }
    TScopedValue(const TScopedValue&) = delete;
    TScopedValue& operator=(const TScopedValue&) = delete;

private:
    T& variable_;
    T saved_;
};

} // namespace

// Where each item goes, in client coordinates, and the client size.
struct TToolbar97::TArrangement {
    std::vector<QRect> Bounds; // one per item of items_; empty for hidden ones
    std::vector<int> Dividers;
    QSize ClientSize;
    QSize Largest;
};

QSize TToolbar97::ArrangedSize(TBarOrientation orientation, bool dragHandle, int wrapWidth) const {
    return Arrange(orientation, dragHandle, wrapWidth).ClientSize;
}

TToolbar97::TArrangement TToolbar97::Arrange(TBarOrientation orientation, bool dragHandle,
                                             int wrapWidth) const {
    const tb97::TBarMargins& m = tb97::kBarMargins[static_cast<size_t>(orientation)];
    const TBarAxes axes(orientation);
    const int leading = dragHandle ? m.LeadingWithHandle : m.LeadingNoHandle;
    const bool wraps = orientation == TBarOrientation::kFloating && wrapWidth > 0;
    // Docked toolbars never wrap; a row's first item never does either.
    const auto overflows = [&](int pos, int length) {
        return wraps && pos != leading && pos + length + m.Trailing > wrapWidth;
    };
    TArrangement result;
    result.Bounds.resize(items_.size());
    result.Largest = LargestItem(items_);
    const int rowThickness = axes.Across(result.Largest);

    int pos = leading;
    int cross = m.CrossBefore;
    int lastSeparator = -1; // the separator that ended the previous run
    size_t i = 0;
    while (i < items_.size()) {
        const TRun run = RunFrom(axes, items_, i);
        if (overflows(pos, run.Length)) {
            // A whole run to the next row: the separator before it shrinks
            // to nothing and divider lines take its place.
            pos = leading;
            cross += rowThickness + kDividedRowGap;
            if (lastSeparator >= 0) {
                QRect& sep = result.Bounds[static_cast<size_t>(lastSeparator)];
                sep.setSize(axes.Size(0, axes.Across(sep.size())));
            }
            result.Dividers.push_back(cross);
        }
        for (; i < run.End; ++i) {
            const QWidget* item = items_[i];
            if (item->isHidden()) {
                continue;
            }
            const TToolbarSep97* sep = AsSeparator(item);
            const bool separator = sep != nullptr;
            const int length = LengthOf(axes, item, sep);
            if (!separator && overflows(pos, length)) {
                pos = leading;
                cross += rowThickness;
            }
            result.Bounds[i] = BoundsAt(axes, item, separator, pos, cross, length, rowThickness);
            pos += length;
            if (separator) {
                lastSeparator = static_cast<int>(i);
            }
        }
    }
    int reach = -1;
    for (size_t k = 0; k < items_.size(); ++k) {
        if (!items_[k]->isHidden()) {
            reach = std::max(reach, axes.AlongEnd(result.Bounds[k]));
        }
    }
    if (reach < 0) {
        reach = leading + kEmptyRowLength;
    }
    result.ClientSize = axes.Size(reach + m.Trailing, cross + rowThickness + m.CrossAfter);
    return result;
}

void TToolbar97::ArrangeControls() {
    if (busy_ == TBusy::kArranging || busy_ == TBusy::kDestroying) {
        return;
    }
    {
        const TScopedValue<TBusy> arranging(busy_, TBusy::kArranging);
        const TArrangement arrangement = Arrange(Orientation(), HasDragHandle(), floatingWidth_);
        Q_ASSERT(arrangement.Bounds.size() == items_.size()); // one rectangle per item
        largestItem_ = arrangement.Largest;
        dividers_ = arrangement.Dividers;
        const QPoint origin = ClientOrigin();
        for (size_t i = 0; i < items_.size(); ++i) {
            if (!items_[i]->isHidden()) {
                items_[i]->setGeometry(arrangement.Bounds[i].translated(origin));
            }
        }
        QSize size = arrangement.ClientSize;
        if (FDockedTo == nullptr) {
            size += tb97::FloatingFrameSize(tb97::FloatingMetrics());
        }
        resize(size);
        // A toolbar made floating and docked before it was ever placed has no
        // floating rectangle yet: it floats where it stands when first undocked.
        if (FDockedTo == nullptr && !floatingRect_.isEmpty()) {
            floatingRect_ = QRect(floatingRect_.topLeft(), size);
        }
    }
    update();
    if (FDockedTo != nullptr) {
        FDockedTo->ArrangeToolbars();
    }
}

void TToolbar97::PlaceInDock(const QRect& bounds) {
    const TScopedValue<TBusy> arranging(busy_, TBusy::kArranging);
    setGeometry(bounds);
}

void TToolbar97::Loaded() {
    const TBarAxes axes(Orientation());
    std::stable_sort(items_.begin(), items_.end(), [&axes](QWidget* a, QWidget* b) {
        return axes.Along(a->pos()) < axes.Along(b->pos());
    });
    ArrangeControls();
}
