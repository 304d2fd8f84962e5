// Docks: rows and their renumbering, positions and overflow, one-row docks,
// the row a drop goes to, thickness, growth direction, and misuse.

#include "tests/widgets/TB97/TestSupport.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/TB97Common.h"
#include "widgets/TB97/Toolbar97.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tb97test;

namespace {

// A toolbar docked in DOCK with one item of W × H.
TToolbar97* Bar(QWidget& form, TDock97* dock, int w, int h, int row, int pos) {
    auto* bar = new TToolbar97(&form);
    auto* item = new QWidget(bar);
    item->resize(w, h);
    bar->Loaded();
    bar->SetDockRow(row);
    bar->SetDockPos(pos);
    bar->SetDockedTo(dock);
    return bar;
}

template <class F> std::string ErrorOf(F&& action) {
    try {
        action();
    } catch (const EInvalidOperation& error) {
        return error.what();
    }
    return "no error";
}

class DockTest : public ::testing::Test {
protected:
    void SetUp() override { form.resize(400, 300); }
    QWidget form;
};

} // namespace

TEST_F(DockTest, EmptyDockTakesNoRoomUnlessFixAlign) {
    TDock97 dock(&form);
    EXPECT_EQ(dock.height(), 0);
    EXPECT_EQ(dock.width(), 400); // spans its edge of the form
    dock.SetFixAlign(true);
    EXPECT_EQ(dock.height(), 1);
}

TEST_F(DockTest, OneToolbarOf22PixelItemsMakesA26PixelDock) {
    TDock97 dock(&form);
    TToolbar97* bar = Bar(form, &dock, 22, 22, 0, 0);
    EXPECT_EQ(dock.height(), 26);
    EXPECT_EQ(dock.RowCount(), 1);
    // Handle (11), item, trailing margin (2).
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 35, 26));
}

TEST_F(DockTest, RowsAreSortedAndEmptyOnesClosedUp) {
    TDock97 dock(&form);
    // Docked together: one at a time each would be alone in row 0.
    dock.BeginUpdate();
    TToolbar97* third = Bar(form, &dock, 22, 30, 7, 0);
    TToolbar97* first = Bar(form, &dock, 22, 22, 0, 0);
    TToolbar97* second = Bar(form, &dock, 22, 22, 3, 50);
    EXPECT_EQ(third->DockRow(), 7);
    dock.EndUpdate();
    EXPECT_EQ(first->DockRow(), 0);
    EXPECT_EQ(second->DockRow(), 1);
    EXPECT_EQ(third->DockRow(), 2);
    EXPECT_EQ(dock.RowThickness(2), 34); // its largest item + 4
    EXPECT_EQ(second->geometry().topLeft(), QPoint(50, 26));
    EXPECT_EQ(third->geometry().topLeft(), QPoint(0, 52));
    EXPECT_EQ(dock.height(), 26 + 26 + 34);
    // Moving the middle toolbar into row 0 leaves its row empty: closed up.
    second->SetDockRow(0);
    EXPECT_EQ(third->DockRow(), 1);
    EXPECT_EQ(dock.height(), 26 + 34);
}

TEST_F(DockTest, ToolbarsInARowDoNotOverlapAndAreKeptInside) {
    TDock97 dock(&form);
    TToolbar97* a = Bar(form, &dock, 87, 22, 0, 0);  // 100 long
    TToolbar97* b = Bar(form, &dock, 87, 22, 0, 40); // overlaps a: pushed on
    EXPECT_EQ(b->DockPos(), 100);
    // Past the far end: the row is pushed back from there, never before 0.
    b->SetDockPos(350);
    EXPECT_EQ(b->DockPos(), 300);
    EXPECT_EQ(b->geometry().left(), 300);
    TToolbar97* c = Bar(form, &dock, 187, 22, 0, 390); // 200 long
    EXPECT_EQ(c->DockPos(), 200);
    EXPECT_EQ(b->DockPos(), 100);
    EXPECT_EQ(a->DockPos(), 0);
    // DockPos -8 in row 0 puts a toolbar in front of the others.
    TToolbar97* front = Bar(form, &dock, 7, 22, 0, -8); // 20 long
    EXPECT_EQ(front->DockPos(), 0);
    EXPECT_EQ(a->DockPos(), 20);
    // 420 pixels of toolbars in 400: in order, without overlap, the last runs over.
    EXPECT_EQ(b->DockPos(), 120);
    EXPECT_EQ(c->DockPos(), 220);
}

TEST_F(DockTest, LimitToOneRowLinesAllUpInRowZero) {
    TDock97 dock(&form);
    dock.SetLimitToOneRow(true);
    TToolbar97* a = Bar(form, &dock, 137, 22, 0, 0);  // 150 long
    TToolbar97* b = Bar(form, &dock, 137, 22, 1, 0);  // 150 long
    TToolbar97* c = Bar(form, &dock, 67, 22, 2, 390); // 80 long
    EXPECT_EQ(dock.RowCount(), 1);
    EXPECT_EQ(dock.height(), 26);
    for (TToolbar97* bar : {a, b, c}) {
        EXPECT_EQ(bar->DockRow(), 0);
        EXPECT_EQ(bar->y(), 0);
    }
    // The row runs 70 past the end: pushed back from there.
    EXPECT_EQ(a->DockPos(), 0);
    EXPECT_EQ(b->DockPos(), 150);
    EXPECT_EQ(c->DockPos(), 320);
}

TEST_F(DockTest, DropRowRuleWithFivePixelEdges) {
    TDock97 dock(&form);
    Bar(form, &dock, 22, 22, 0, 0);
    Bar(form, &dock, 22, 22, 1, 0);
    ASSERT_EQ(dock.height(), 52); // rows [0,26) and [26,52)
    struct Case {
        int p;
        int row;
        bool newRow;
    };
    const Case cases[] = {
        {0, 0, true},  {5, 0, true},  {6, 0, false},  {21, 0, false},
        {22, 1, true}, {31, 1, true}, {32, 1, false}, {47, 1, false},
        {48, 2, true}, {57, 2, true}, {58, 2, true},  {500, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.p);
        const TDock97::TDropRow drop = dock.RowForPosition(c.p);
        EXPECT_EQ(drop.Row, c.row);
        EXPECT_EQ(drop.NewRow, c.newRow);
    }
}

TEST_F(DockTest, InsertingARowMovesTheLaterRowsOn) {
    TDock97 dock(&form);
    TToolbar97* a = Bar(form, &dock, 22, 22, 0, 0);
    TToolbar97* b = Bar(form, &dock, 22, 22, 1, 0);
    dock.InsertRowAt(1);
    EXPECT_EQ(a->DockRow(), 0);
    EXPECT_EQ(b->DockRow(), 2);
}

TEST_F(DockTest, BottomDockGrowsUpwardRightDockLeftward) {
    TDock97 bottom(&form, dpBottom);
    TDock97 right(&form, dpRight);
    Bar(form, &bottom, 22, 22, 0, 0);
    EXPECT_EQ(bottom.geometry(), QRect(0, 274, 400, 26));
    TToolbar97* side = Bar(form, &right, 22, 22, 0, 0);
    EXPECT_EQ(right.geometry(), QRect(374, 0, 26, 300));
    EXPECT_EQ(side->Orientation(), tb97::TBarOrientation::kVertical);
    EXPECT_EQ(side->size(), QSize(26, 35));
}

TEST_F(DockTest, BoundLinesTakeAPixelAndAreDrawn) {
    TDock97 dock(&form);
    dock.SetBoundLines(BoundLine(blTop) | BoundLine(blBottom));
    TToolbar97* bar = Bar(form, &dock, 22, 22, 0, 0);
    EXPECT_EQ(dock.height(), 28);
    EXPECT_EQ(bar->y(), 1);
    const QImage shot = Shot(dock);
    EXPECT_EQ(At(shot, 300, 0), kShadow);
    EXPECT_EQ(At(shot, 300, 27), kHighlight);
    EXPECT_EQ(At(shot, 300, 10), kFace);
}

TEST_F(DockTest, BackgroundIsTiledThroughTheToolbars) {
    TDock97 dock(&form);
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(0x0000FF);
    tile.setPixel(1, 2, 0xFF0000);
    dock.SetBackground(QPixmap::fromImage(tile));
    TToolbar97* bar = Bar(form, &dock, 22, 22, 0, 0);
    bar->SetDockPos(104);
    ASSERT_EQ(bar->x(), 104);
    const QImage docked = Shot(dock);
    EXPECT_EQ(At(docked, 5, 6), 0xFF0000u); // (1,2) of the second tile
    EXPECT_EQ(At(docked, 6, 6), 0x0000FFu);
    // Inside the toolbar, past its item: dock (137, 6) is tile pixel (1, 2).
    const QImage toolbar = Shot(*bar);
    EXPECT_EQ(At(toolbar, 33, 6), 0xFF0000u);
    EXPECT_EQ(At(toolbar, 33, 7), 0x0000FFu);
    // A transparent background takes the dock's colour for its bottom-left colour.
    dock.SetBackgroundTransparent(true);
    EXPECT_EQ(At(Shot(dock), 6, 6), kFace);
    EXPECT_EQ(At(Shot(dock), 5, 6), 0xFF0000u);
}

TEST_F(DockTest, InsertRemoveEventsAndVisibility) {
    TDock97 top(&form);
    TDock97 bottom(&form, dpBottom);
    std::vector<std::string> seen;
    auto log = [&](const char* name) {
        return [&seen, name](TDock97*, bool inserting, TToolbar97*) {
            seen.push_back(std::string(name) + (inserting ? "+" : "-"));
        };
    };
    top.OnInsertRemoveBar = log("top");
    bottom.OnInsertRemoveBar = log("bottom");
    TToolbar97* bar = Bar(form, &top, 22, 22, 0, 0);
    bar->SetDockedTo(&bottom);
    bar->setVisible(false);
    EXPECT_EQ(bottom.height(), 0);
    bar->setVisible(true);
    EXPECT_EQ(bottom.height(), 26);
    delete bar;
    EXPECT_EQ(bottom.height(), 0);
    const std::vector<std::string> expected = {"top+",    "top-",    "bottom+",
                                               "bottom-", "bottom+", "bottom-"};
    EXPECT_EQ(seen, expected);
}

TEST_F(DockTest, MisuseIsRefusedWithItsMessage) {
    EXPECT_EQ(ErrorOf([] { TDock97 dock(nullptr); }), "TDock97 must be owned by a form");
    QWidget child(&form);
    EXPECT_EQ(ErrorOf([&] { TDock97 dock(&child); }), "TDock97 must be owned by a form");
    TDock97 dock(&form);
    EXPECT_EQ(ErrorOf([&] { TDock97 inner(&form, dpTop, &dock); }),
              "A TDock97 control cannot be placed inside a TToolbar97 or another TDock97");
    TToolbar97 bar(&form);
    EXPECT_EQ(ErrorOf([&] { TDock97 inner(&form, dpTop, &bar); }),
              "A TDock97 control cannot be placed inside a TToolbar97 or another TDock97");
    EXPECT_EQ(ErrorOf([&] { dock.SetPosition(dpLeft); }), "no error"); // still empty
    bar.SetDockedTo(&dock);
    EXPECT_EQ(ErrorOf([&] { dock.SetPosition(dpTop); }),
              "Cannot change Position of a TDock97 if it already contains controls");
    form.show();
    EXPECT_EQ(ErrorOf([&] { dock.hide(); }), "Cannot hide a TDock97");
    EXPECT_TRUE(dock.isVisible());
}
