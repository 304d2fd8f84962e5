#pragma once
// How assistive technology reads the colour grid: a list of 16 cells, each
// named by its colour as the colour names have it ("Black" ... "White"), the
// cell with the selection frame selected (and focused while the grid has the
// focus), and each mark ("VG", "HG", "VH") as its cell's description. Moves
// of the selection and of the marks are announced.

#include "platform/qt/LeafAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QString>
#include <array>

class QObject;
class TColorGrid;

// The interface for OBJECT when CLASSNAME is TColorGrid; null otherwise.
QAccessibleInterface* ColorGridAccessible(const QString& className, QObject* object);

// "Maroon" for cell 1 and so on; empty outside the grid.
QString ColorCellName(int cell);
// The mark cell CELL of GRID shows: "VG", "HG", "VH" or nothing.
QString ColorCellMark(const TColorGrid& grid, int cell);

// Called by the grid while a screen reader listens.
void AnnounceGridSelection(TColorGrid& grid);
void AnnounceGridMark(TColorGrid& grid, int cell);

class TColorGridAccessible : public QAccessibleWidget {
public:
    explicit TColorGridAccessible(TColorGrid* grid);
    ~TColorGridAccessible() override;

    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    TColorGrid* Grid() const;
    mutable std::array<QAccessible::Id, 16> cells_{};
};

// One cell: a list item with the colour's name, its mark as description,
// selected where the selection frame is, and a press action that is a left
// click on it.
class TColorCellAccessible : public platform::TLeafAccessible {
public:
    TColorCellAccessible(TColorGrid* grid, QAccessibleInterface* parent, int cell);

    bool isValid() const override;
    QWindow* window() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;
    void doAction(const QString& actionName) override;

private:
    QPointer<TColorGrid> grid_;
    int cell_;
};
