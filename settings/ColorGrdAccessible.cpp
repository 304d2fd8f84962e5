#include "settings/ColorGrdAccessible.h"

#include "engine/ColorScheme.h"
#include "platform/qt/AccessibleFactory.h"
#include "settings/ColorGrd.h"

#include <QWindow>

namespace {

constexpr std::string_view kNamePrefix = "cl";

} // namespace

QAccessibleInterface* ColorGridAccessible(const QString& className, QObject* object) {
    return platform::AccessibleFor<TColorGrid, TColorGridAccessible>(className, object);
}

QString ColorCellName(int cell) {
    if (cell < 0 || cell >= TColorGrid::kCellCount) {
        return {};
    }
    const TColor color = TColorGrid::CellColor(cell);
    for (const TColorName& named : kColorNames) {
        if (named.Value == color && named.Name.substr(0, kNamePrefix.size()) == kNamePrefix) {
            const std::string_view name = named.Name.substr(kNamePrefix.size());
            return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        }
    }
    return {};
}

QString ColorCellMark(const TColorGrid& grid, int cell) {
    const bool fore = grid.ForegroundEnabled() && grid.ForegroundIndex() == cell;
    const bool back = grid.BackgroundEnabled() && grid.BackgroundIndex() == cell;
    if (fore && back) {
        return QStringLiteral("VH");
    }
    if (fore) {
        return QStringLiteral("VG");
    }
    return back ? QStringLiteral("HG") : QString();
}

void AnnounceGridSelection(TColorGrid& grid) {
    QAccessibleEvent selected(&grid, QAccessible::Selection);
    selected.setChild(grid.Selection());
    QAccessible::updateAccessibility(&selected);
    if (grid.hasFocus()) {
        QAccessibleEvent focused(&grid, QAccessible::Focus);
        focused.setChild(grid.Selection());
        QAccessible::updateAccessibility(&focused);
    }
}

void AnnounceGridMark(TColorGrid& grid, int cell) {
    if (cell < 0 || cell >= TColorGrid::kCellCount) {
        return;
    }
    QAccessibleEvent described(&grid, QAccessible::DescriptionChanged);
    described.setChild(cell);
    QAccessible::updateAccessibility(&described);
    QAccessible::State checked;
    checked.checked = true;
    QAccessibleStateChangeEvent changed(&grid, checked);
    changed.setChild(cell);
    QAccessible::updateAccessibility(&changed);
}

// ---- the grid ----

TColorGridAccessible::TColorGridAccessible(TColorGrid* grid)
    : QAccessibleWidget(grid, QAccessible::List) {}

TColorGridAccessible::~TColorGridAccessible() {
    for (const QAccessible::Id id : cells_) {
        if (id != 0 && QAccessible::accessibleInterface(id) != nullptr) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
}

TColorGrid* TColorGridAccessible::Grid() const {
    return static_cast<TColorGrid*>(widget());
}

QAccessible::State TColorGridAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    // Tab passes it by, but a screen reader (and the list beside it) can
    // give it the focus.
    state.focusable = true;
    return state;
}

int TColorGridAccessible::childCount() const {
    return TColorGrid::kCellCount;
}

QAccessibleInterface* TColorGridAccessible::child(int index) const {
    if (index < 0 || index >= TColorGrid::kCellCount) {
        return nullptr;
    }
    QAccessible::Id& id = cells_[static_cast<size_t>(index)];
    if (id == 0) {
        id = QAccessible::registerAccessibleInterface(
            new TColorCellAccessible(Grid(), const_cast<TColorGridAccessible*>(this), index));
    }
    return QAccessible::accessibleInterface(id);
}

int TColorGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < TColorGrid::kCellCount; ++i) {
        const QAccessible::Id id = cells_[static_cast<size_t>(i)];
        if (id != 0 && QAccessible::accessibleInterface(id) == child) {
            return i;
        }
    }
    return -1;
}

QAccessibleInterface* TColorGridAccessible::childAt(int x, int y) const {
    const QPoint at = Grid()->mapFromGlobal(QPoint(x, y));
    if (!Grid()->rect().contains(at)) {
        return nullptr;
    }
    return child(Grid()->CellFromPoint(at.x(), at.y()));
}

QAccessibleInterface* TColorGridAccessible::focusChild() const {
    return Grid()->hasFocus() ? child(Grid()->Selection()) : nullptr;
}

QStringList TColorGridAccessible::actionNames() const {
    return {setFocusAction()};
}

void TColorGridAccessible::doAction(const QString& actionName) {
    if (actionName == setFocusAction() && Grid()->isEnabled()) {
        Grid()->activateWindow();
        Grid()->setFocus(Qt::OtherFocusReason);
    }
}

// ---- one cell ----

TColorCellAccessible::TColorCellAccessible(TColorGrid* grid, QAccessibleInterface* parent, int cell)
    : TLeafAccessible(parent), grid_(grid), cell_(cell) {}

bool TColorCellAccessible::isValid() const {
    return !grid_.isNull();
}

QWindow* TColorCellAccessible::window() const {
    return grid_ ? grid_->window()->windowHandle() : nullptr;
}

QString TColorCellAccessible::text(QAccessible::Text t) const {
    if (!grid_) {
        return {};
    }
    if (t == QAccessible::Name) {
        return ColorCellName(cell_);
    }
    if (t == QAccessible::Description) {
        return ColorCellMark(*grid_, cell_);
    }
    return {};
}

QRect TColorCellAccessible::rect() const {
    if (!grid_) {
        return {};
    }
    const QRect r = grid_->CellRect(cell_);
    return QRect(grid_->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State TColorCellAccessible::state() const {
    QAccessible::State state;
    if (!grid_) {
        state.invalid = true;
        return state;
    }
    state.invisible = !grid_->isVisible();
    state.disabled = !grid_->isEnabled();
    state.selectable = true;
    state.focusable = true;
    state.selected = grid_->Selection() == cell_;
    state.focused = state.selected && grid_->hasFocus();
    state.active = state.focused;
    // The foreground mark: the colour in use for what the grid edits.
    state.checkable = true;
    state.checked = grid_->ForegroundEnabled() && grid_->ForegroundIndex() == cell_;
    return state;
}

void TColorCellAccessible::doAction(const QString& actionName) {
    if (actionName != pressAction() || !grid_ || !grid_->isEnabled()) {
        return;
    }
    // A left click in the cell's middle, through the grid's own handling.
    const QPointF at = grid_->CellRect(cell_).center();
    const QPointF global = grid_->mapToGlobal(at);
    platform::SendLeftClick(grid_, at, global);
}
