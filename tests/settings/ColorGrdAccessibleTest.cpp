// The colour grid as a screen reader reads and works it: 16 named cells, the
// selection and the marks as states and descriptions, and the press of a
// cell. What is announced as they move is read through the accessibility bus,
// in the end-to-end test.

#include "settings/ColorGrdAccessible.h"

#include "settings/ColorGrd.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The names of the 16 basic colours, in the grid's reading order.
const QStringList kNames = {"Black", "Maroon",  "Green", "Olive", "Navy", "Purple",
                            "Teal",  "Silver",  "Gray",  "Red",   "Lime", "Yellow",
                            "Blue",  "Fuchsia", "Aqua",  "White"};

const auto kSelected = [](const QAccessible::State& s) { return bool(s.selected); };
const auto kFocused = [](const QAccessible::State& s) { return bool(s.focused); };
const auto kChecked = [](const QAccessible::State& s) { return bool(s.checked); };

struct GridAccessTest : ::testing::Test {
    QWidget host;
    TColorGrid* grid = nullptr;
    QAccessibleInterface* list = nullptr;
    int changes = 0;
    int clicks = 0;

    void SetUp() override {
        host.resize(200, 200);
        grid = new TColorGrid(&host);
        grid->move(20, 20);
        grid->OnChange = [this](TColorGrid&) { ++changes; };
        grid->OnClick = [this](TColorGrid&) { ++clicks; };
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        list = QAccessible::queryAccessibleInterface(grid);
        ASSERT_NE(list, nullptr);
    }
    QAccessibleInterface* Cell(int i) const { return list->child(i); }
    // The cells whose state passes FLAG.
    template <class Flag> std::vector<int> Where(Flag flag) const {
        std::vector<int> cells;
        for (int i = 0; i < 16; ++i) {
            if (flag(Cell(i)->state())) {
                cells.push_back(i);
            }
        }
        return cells;
    }
};

} // namespace

TEST_F(GridAccessTest, SixteenCellsNamedByTheirColours) {
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 16);
    for (int i = 0; i < 16; ++i) {
        QAccessibleInterface* cell = Cell(i);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->role(), QAccessible::ListItem);
        EXPECT_EQ(cell->text(QAccessible::Name), kNames[i]) << i;
        EXPECT_EQ(cell->parent(), list);
        EXPECT_EQ(list->indexOfChild(cell), i);
        EXPECT_EQ(Cell(i), cell); // one interface per cell, kept
        const QRect r = cell->rect();
        EXPECT_EQ(r,
                  QRect(grid->mapToGlobal(grid->CellRect(i).topLeft()), grid->CellRect(i).size()));
        EXPECT_EQ(list->childAt(r.center().x(), r.center().y()), cell);
    }
    EXPECT_EQ(list->child(16), nullptr);
    EXPECT_EQ(list->child(-1), nullptr);
    EXPECT_EQ(ColorCellName(16), "");
    // Outside the grid: no cell.
    const QPoint beside = grid->mapToGlobal(QPoint(grid->width() + 5, 5));
    EXPECT_EQ(list->childAt(beside.x(), beside.y()), nullptr);
}

TEST_F(GridAccessTest, SelectionAndFocusFollowTheFrame) {
    grid->SetSelection(6);
    EXPECT_EQ(Where(kSelected), std::vector<int>{6});
    EXPECT_TRUE(Where(kFocused).empty()); // the grid has no focus
    EXPECT_EQ(list->focusChild(), nullptr);

    // Tab passes the grid by, but a screen reader can give it the focus.
    grid->SetTabStop(false);
    ASSERT_NE(list->actionInterface(), nullptr);
    list->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    ASSERT_TRUE(grid->hasFocus());
    EXPECT_EQ(Where(kFocused), std::vector<int>{6});
    EXPECT_EQ(list->focusChild(), Cell(6));

    QTest::keyClick(grid, Qt::Key_Down); // 6 + 4
    EXPECT_EQ(Where(kSelected), std::vector<int>{10});
    EXPECT_EQ(Where(kFocused), std::vector<int>{10});
}

TEST_F(GridAccessTest, TheMarksAreTheCellsDescriptions) {
    grid->SetForegroundIndex(2);
    grid->SetBackgroundIndex(5);
    for (int i = 0; i < 16; ++i) {
        const QString mark = i == 2 ? "VG" : i == 5 ? "HG" : "";
        EXPECT_EQ(Cell(i)->text(QAccessible::Description), mark) << i;
    }
    EXPECT_EQ(Where(kChecked), std::vector<int>{2});
    grid->SetBackgroundIndex(2); // both on one cell
    EXPECT_EQ(Cell(2)->text(QAccessible::Description), "VH");
    EXPECT_EQ(Cell(5)->text(QAccessible::Description), "");
    grid->SetBackgroundEnabled(false);
    EXPECT_EQ(Cell(2)->text(QAccessible::Description), "VG");
    grid->SetForegroundEnabled(false);
    EXPECT_EQ(Cell(2)->text(QAccessible::Description), "");
    EXPECT_TRUE(Where(kChecked).empty());
}

TEST_F(GridAccessTest, PressingACellIsALeftClickOnIt) {
    QAccessibleActionInterface* press = Cell(9)->actionInterface();
    ASSERT_NE(press, nullptr);
    EXPECT_EQ(press->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    press->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(grid->ForegroundIndex(), 9);
    EXPECT_EQ(grid->Selection(), 9);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Cell(9)->text(QAccessible::Description), "VG");
    press->doAction("no such action");
    EXPECT_EQ(clicks, 1);
    grid->setEnabled(false);
    Cell(3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(grid->ForegroundIndex(), 9);
}
