// The colour grid as a user works it: real mouse and key events through its
// window, and the pixels it paints.
#include "settings/ColorGrd.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Cell colours by hand, in cell order.
const std::vector<QColor> kCellColors = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

// Passes every key on: what reaches it, the grid left alone.
struct KeyHost : QWidget {
    std::vector<int> keys;
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

struct GridTest : ::testing::Test {
    KeyHost host;
    TColorGrid* grid = nullptr;
    int changes = 0;
    int clicks = 0;

    void SetUp() override {
        host.resize(200, 200);
        grid = new TColorGrid(&host);
        grid->move(20, 20);
        grid->OnChange = [this](TColorGrid& sender) {
            EXPECT_EQ(&sender, grid);
            ++changes;
        };
        grid->OnClick = [this](TColorGrid&) { ++clicks; };
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    QWindow* Window() { return host.windowHandle(); }
    // The centre of CELL in the host window.
    QPoint At(int cell) const { return grid->mapTo(&host, grid->CellRect(cell).center()); }
    void Press(Qt::MouseButton button, QPoint at) { QTest::mousePress(Window(), button, {}, at); }
    void Release(Qt::MouseButton button, QPoint at) {
        QTest::mouseRelease(Window(), button, {}, at);
    }
    void Click(Qt::MouseButton button, int cell) {
        QTest::mouseClick(Window(), button, {}, At(cell));
    }
    void Move(QPoint at) { QTest::mouseMove(Window(), at); }
    void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(grid, static_cast<Qt::Key>(key), modifiers);
    }
    QImage Shot() const { return grid->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QColor Pixel(const QImage& shot, int cell, int x, int y) const {
        const QRect r = grid->CellRect(cell);
        return shot.pixelColor(r.left() + x, r.top() + y);
    }

    // MARK drawn in TEXT centred on a cell of colour CELL, the rule's way.
    QImage ExpectedCell(const QColor& cell, const QColor& text, const QString& mark) const {
        QImage image(grid->CellWidth(), grid->CellHeight(), QImage::Format_RGB32);
        image.fill(cell);
        if (!mark.isEmpty()) {
            QPainter painter(&image);
            painter.setFont(grid->font());
            painter.setPen(text);
            painter.drawText(image.rect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip,
                             mark);
        }
        return image;
    }

    // The inside of CELL (within the 3-D border) against the expected picture.
    ::testing::AssertionResult CellShows(int cell, const QColor& text, const QString& mark) const {
        const QImage shot = Shot();
        const QImage expected = ExpectedCell(kCellColors[static_cast<size_t>(cell)], text, mark);
        const QRect r = grid->CellRect(cell);
        for (int y = 3; y < r.height() - 3; ++y) {
            for (int x = 3; x < r.width() - 3; ++x) {
                if (shot.pixel(r.left() + x, r.top() + y) != expected.pixel(x, y)) {
                    return ::testing::AssertionFailure()
                           << "cell " << cell << " differs at " << x << "," << y << " for \""
                           << mark.toStdString() << "\"";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }
};

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

// ---- a fresh grid ----

TEST_F(GridTest, AFreshGridHasItsDefaults) {
    EXPECT_EQ(grid->GridOrdering(), go4x4);
    EXPECT_EQ(grid->size(), QSize(100, 100));
    EXPECT_EQ(grid->CellWidth(), 25);
    EXPECT_EQ(grid->CellHeight(), 25);
    EXPECT_EQ(grid->ForegroundIndex(), 0);
    EXPECT_EQ(grid->BackgroundIndex(), 0);
    EXPECT_EQ(grid->Selection(), 0);
    EXPECT_TRUE(grid->ForegroundEnabled());
    EXPECT_TRUE(grid->BackgroundEnabled());
    EXPECT_FALSE(grid->ClickEnablesColor());
    EXPECT_FALSE(grid->TabStop());
    EXPECT_TRUE(grid->Ctl3D());
    EXPECT_EQ(grid->ForegroundColorValue(), 0x000000u);
}

TEST_F(GridTest, CellColoursRunThroughTheSixteenBasicColours) {
    const QImage shot = Shot();
    const std::vector<TColor> values = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                        0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                        0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int cell = 0; cell < 16; ++cell) {
        // A corner of the inside, clear of the marks.
        EXPECT_EQ(Pixel(shot, cell, 4, 4), kCellColors[static_cast<size_t>(cell)]) << cell;
        EXPECT_EQ(TColorGrid::CellColor(cell), values[static_cast<size_t>(cell)]) << cell;
    }
    EXPECT_EQ(TColorGrid::CellColor(-1), 0u);
    EXPECT_EQ(TColorGrid::CellColor(16), 0u);
}

TEST_F(GridTest, BothMarksShareCellZeroUntilALeftClickMovesTheForeground) {
    EXPECT_TRUE(CellShows(0, kWhite, "VH"));
    Click(Qt::LeftButton, 5);
    EXPECT_EQ(grid->ForegroundIndex(), 5);
    EXPECT_EQ(grid->BackgroundIndex(), 0);
    EXPECT_EQ(grid->Selection(), 5);
    EXPECT_EQ(grid->ForegroundColorValue(), 0x800080u);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(CellShows(5, QColor(0, 255, 0), "VG")); // purple: lime
    EXPECT_TRUE(CellShows(0, kWhite, "HG"));
    EXPECT_TRUE(CellShows(1, kWhite, "")); // no stray mark
}

TEST_F(GridTest, AMarkTakesTheContrastColourOfItsCell) {
    grid->SetBackgroundEnabled(false);
    struct Case {
        int cell;
        QColor text;
    };
    const std::vector<Case> cases = {
        {15, kBlack},             // white
        {7, kBlack},              // silver
        {8, kBlack},              // gray
        {0, kWhite},              // black
        {11, QColor(0, 0, 255)},  // yellow: blue
        {4, QColor(255, 255, 0)}, // navy: yellow
        {1, QColor(0, 255, 255)}, // maroon: aqua
    };
    for (const Case& c : cases) {
        grid->SetForegroundIndex(c.cell);
        EXPECT_TRUE(CellShows(c.cell, c.text, "VG"));
    }
}

TEST_F(GridTest, TheSelectionFrameShowsOnlyWhileTheGridHasTheFocus) {
    grid->SetTabStop(true);
    Click(Qt::LeftButton, 6);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GridFocused(); }, 2000));
    QImage shot = Shot();
    // The dotted frame 4 pixels inside the cell: every other pixel inverted.
    const QRect r = grid->CellRect(6);
    const bool evenAtCorner = (r.left() + 4 + r.top() + 4) % 2 == 0;
    const QColor teal = kCellColors[6];
    const QColor inverted(255 - teal.red(), 255 - teal.green(), 255 - teal.blue());
    EXPECT_EQ(Pixel(shot, 6, 4, 4), evenAtCorner ? inverted : teal);
    EXPECT_EQ(Pixel(shot, 6, 5, 4), evenAtCorner ? teal : inverted);
    EXPECT_EQ(Pixel(shot, 6, 3, 3), teal); // the frame lies inside the bevel

    host.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !grid->GridFocused(); }, 2000));
    shot = Shot();
    EXPECT_EQ(Pixel(shot, 6, 4, 4), teal);
    EXPECT_EQ(Pixel(shot, 6, 5, 4), teal);
}

TEST_F(GridTest, CellsWithoutTheThreeDLookHaveABlackOutline) {
    grid->SetCtl3D(false);
    grid->SetTabStop(true);
    Click(Qt::LeftButton, 9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GridFocused(); }, 2000));
    const QImage shot = Shot();
    const QColor red = kCellColors[9];
    EXPECT_EQ(Pixel(shot, 2, 0, 0), kBlack); // unframed: black outline, colour inside
    EXPECT_EQ(Pixel(shot, 2, 1, 1), kCellColors[2]);
    EXPECT_EQ(Pixel(shot, 9, 0, 0), kWhite); // framed: the black outline inverted
    EXPECT_EQ(Pixel(shot, 9, 24, 24), kWhite);
    EXPECT_EQ(Pixel(shot, 9, 1, 1), red);
    EXPECT_EQ(Pixel(shot, 9, 2, 2), kBlack); // and a black one 2 pixels in
    EXPECT_EQ(Pixel(shot, 9, 22, 22), kBlack);
    EXPECT_EQ(Pixel(shot, 9, 3, 3), red);
}

TEST_F(GridTest, ThreeDCellsHaveAFaceBorderAndATwoPixelSunkenBevel) {
    const QImage shot = Shot();
    const QColor face = host.palette().color(QPalette::Button);
    const QColor shadow = host.palette().color(QPalette::Dark);
    const QColor light = host.palette().color(QPalette::Light);
    EXPECT_EQ(Pixel(shot, 13, 0, 0), face);
    EXPECT_EQ(Pixel(shot, 13, 24, 12), face);
    EXPECT_EQ(Pixel(shot, 13, 1, 12), shadow);
    EXPECT_EQ(Pixel(shot, 13, 2, 12), shadow);
    EXPECT_EQ(Pixel(shot, 13, 12, 1), shadow);
    EXPECT_EQ(Pixel(shot, 13, 23, 12), light);
    EXPECT_EQ(Pixel(shot, 13, 22, 12), light);
    EXPECT_EQ(Pixel(shot, 13, 12, 23), light);
    EXPECT_EQ(Pixel(shot, 13, 3, 12), kCellColors[13]);
}

// ---- picking and OnChange ----

TEST_F(GridTest, PickingTheMarkedCellAgainRaisesNoChange) {
    Click(Qt::LeftButton, 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(clicks, 1);
    Click(Qt::RightButton, 0);
    EXPECT_EQ(changes, 0);
    Click(Qt::RightButton, 3);
    EXPECT_EQ(grid->BackgroundIndex(), 3);
    EXPECT_EQ(grid->ForegroundIndex(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1); // only a left click is a click
    grid->SetForegroundIndex(0);
    grid->SetSelection(7);
    EXPECT_EQ(changes, 1);
}

TEST_F(GridTest, ClickEnablesColorSwitchesADisabledMarkOnAndCountsAsAChange) {
    grid->SetForegroundEnabled(false);
    EXPECT_EQ(changes, 0);
    Click(Qt::LeftButton, 4);
    EXPECT_FALSE(grid->ForegroundEnabled());
    EXPECT_EQ(grid->ForegroundIndex(), 0); // a disabled mark does not move
    EXPECT_EQ(grid->Selection(), 4);
    EXPECT_EQ(changes, 0);

    grid->SetClickEnablesColor(true);
    Click(Qt::LeftButton, 0); // the cell it already had
    EXPECT_TRUE(grid->ForegroundEnabled());
    EXPECT_EQ(grid->ForegroundIndex(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(CellShows(0, kWhite, "VH"));
}

TEST_F(GridTest, WithoutABackgroundMarkARightClickOnlyMovesTheSelection) {
    grid->SetBackgroundEnabled(false);
    EXPECT_TRUE(CellShows(0, kWhite, "VG"));
    Click(Qt::RightButton, 10);
    EXPECT_EQ(grid->Selection(), 10);
    EXPECT_EQ(grid->BackgroundIndex(), 0);
    EXPECT_EQ(grid->ForegroundIndex(), 0);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(CellShows(10, kBlack, ""));
}

TEST_F(GridTest, IndexesOutsideTheGridAreKeptAndShowNoMark) {
    grid->SetBackgroundEnabled(false);
    grid->SetForegroundIndex(16);
    EXPECT_EQ(grid->ForegroundIndex(), 16);
    EXPECT_EQ(grid->ForegroundColorValue(), 0u);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(CellShows(0, kWhite, ""));
    grid->SetSelection(-3);
    EXPECT_EQ(grid->Selection(), -3);
    EXPECT_TRUE(CellShows(15, kBlack, ""));
}

TEST_F(GridTest, ALeftDragRaisesOneChangePerCellEntered) {
    Press(Qt::LeftButton, At(0));
    Move(At(1));
    Move(At(1) + QPoint(3, 3)); // the same cell
    Move(At(2));
    Move(At(6));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(grid->ForegroundIndex(), 6);
    EXPECT_EQ(grid->Selection(), 6);
    // Beyond the right edge the edge cell of that row is chosen.
    Move(grid->mapTo(&host, QPoint(160, 30)));
    EXPECT_EQ(grid->ForegroundIndex(), 7);
    EXPECT_EQ(changes, 4);
    Release(Qt::LeftButton, grid->mapTo(&host, QPoint(160, 30)));
    EXPECT_EQ(clicks, 0); // released outside
    Move(At(12));
    EXPECT_EQ(grid->ForegroundIndex(), 7); // no button held
    EXPECT_EQ(grid->BackgroundIndex(), 0);
}

TEST_F(GridTest, ARightDragMovesTheBackgroundMark) {
    Press(Qt::RightButton, At(15));
    Move(At(14));
    Move(grid->mapTo(&host, QPoint(-10, 200))); // past the bottom-left corner
    Release(Qt::RightButton, grid->mapTo(&host, QPoint(-10, 200)));
    EXPECT_EQ(grid->BackgroundIndex(), 12);
    EXPECT_EQ(grid->ForegroundIndex(), 0);
    EXPECT_EQ(changes, 3);
}

TEST_F(GridTest, TheCaptureEndsWithAMiddleButtonRelease) {
    auto* other = new QPushButton("other", &host);
    other->setGeometry(130, 150, 60, 30);
    other->show();
    int otherClicks = 0;
    QObject::connect(other, &QPushButton::clicked, [&] { ++otherClicks; });

    Press(Qt::MiddleButton, At(5));
    EXPECT_EQ(QWidget::mouseGrabber(), grid);
    EXPECT_EQ(grid->BackgroundIndex(), 5);
    Release(Qt::MiddleButton, At(5));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    QTest::mouseClick(Window(), Qt::LeftButton, {}, QPoint(160, 165));
    EXPECT_EQ(otherClicks, 1);
    EXPECT_EQ(grid->ForegroundIndex(), 0);
    EXPECT_EQ(grid->Selection(), 5);
}

// ---- orderings and sizes ----

TEST_F(GridTest, EachOrderingShrinksTheGridToWholeCells) {
    struct Case {
        TGridOrdering ordering;
        int columns, rows;
        QSize size;
        int cellWidth, cellHeight;
    };
    const std::vector<Case> cases = {
        {go16x1, 16, 1, QSize(96, 100), 6, 100},
        {go8x2, 8, 2, QSize(96, 100), 12, 50},
        {go2x8, 2, 8, QSize(100, 96), 50, 12},
        {go1x16, 1, 16, QSize(100, 96), 100, 6},
    };
    for (const Case& c : cases) {
        TColorGrid fresh(&host);
        fresh.move(20, 20);
        fresh.SetGridOrdering(c.ordering);
        EXPECT_EQ(fresh.ColumnCount(), c.columns);
        EXPECT_EQ(fresh.RowCount(), c.rows);
        EXPECT_EQ(fresh.size(), c.size) << c.columns;
        EXPECT_EQ(fresh.CellWidth(), c.cellWidth);
        EXPECT_EQ(fresh.CellHeight(), c.cellHeight);
        EXPECT_EQ(fresh.pos(), QPoint(20, 20));
    }
}

TEST_F(GridTest, AResizedGridEndsAtWholeCellsAndCellsFollowTheOrdering) {
    grid->resize(103, 101);
    EXPECT_EQ(grid->size(), QSize(100, 100));
    grid->resize(100, 100);
    grid->SetGridOrdering(go8x2);
    // Cells numbered row by row: the second row starts at cell 8.
    Click(Qt::LeftButton, 9);
    EXPECT_EQ(grid->ForegroundIndex(), 9);
    EXPECT_EQ(grid->CellRect(9), QRect(12, 50, 12, 50));
    EXPECT_EQ(grid->CellFromPoint(95, 99), 15);
    EXPECT_EQ(grid->CellFromPoint(-40, 500), 8);
}

TEST_F(GridTest, AGridTooSmallForItsCellsDoesNotFailOnAClick) {
    grid->resize(10, 100);
    grid->SetGridOrdering(go16x1);
    EXPECT_EQ(grid->width(), 0);
    EXPECT_EQ(grid->CellFromPoint(5, 5), 0);
}

// ---- keyboard ----

TEST_F(GridTest, ArrowKeysWrapAroundTheGridAsOneSequence) {
    struct Case {
        int from, key, to;
    };
    const std::vector<Case> cases = {
        {0, Qt::Key_Left, 15}, {15, Qt::Key_Right, 0}, {2, Qt::Key_Up, 13},  {13, Qt::Key_Down, 2},
        {15, Qt::Key_Down, 0}, {0, Qt::Key_Up, 15},    {5, Qt::Key_Up, 1},   {1, Qt::Key_Down, 5},
        {3, Qt::Key_Space, 4}, {9, Qt::Key_Home, 0},   {9, Qt::Key_End, 15}, {12, Qt::Key_Down, 1},
        {3, Qt::Key_Up, 14},   {6, Qt::Key_Left, 5},
    };
    for (const Case& c : cases) {
        grid->SetSelection(c.from);
        Key(c.key);
        EXPECT_EQ(grid->Selection(), c.to) << c.from << " key " << c.key;
    }
    EXPECT_TRUE(host.keys.empty()); // every one was the grid's
    EXPECT_EQ(changes, 0);
}

TEST_F(GridTest, UpAndDownWrapByTheRowLengthOfTheOrdering) {
    grid->SetGridOrdering(go8x2);
    grid->SetSelection(3);
    Key(Qt::Key_Up); // bottom row, one column to the left
    EXPECT_EQ(grid->Selection(), 10);
    grid->SetSelection(11);
    Key(Qt::Key_Down); // top row, one column to the right
    EXPECT_EQ(grid->Selection(), 4);
    grid->SetGridOrdering(go16x1);
    grid->SetSelection(5);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->Selection(), 6);
    Key(Qt::Key_Up);
    EXPECT_EQ(grid->Selection(), 5);
}

TEST_F(GridTest, FAndBPickTheSelectedCellAndClick) {
    grid->SetSelection(9);
    Key(Qt::Key_F);
    EXPECT_EQ(grid->ForegroundIndex(), 9);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
    Key(Qt::Key_B, Qt::ShiftModifier);
    EXPECT_EQ(grid->BackgroundIndex(), 9);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 2);
    Key(Qt::Key_F); // the same cell: a click, no change
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(grid->Selection(), 9);
    EXPECT_EQ(host.keys, std::vector<int>({Qt::Key_Shift})); // Shift alone is not the grid's
}

TEST_F(GridTest, OtherKeysRaiseOnKeyDownOnceAndGoOnToTheWindow) {
    std::vector<int> seen;
    grid->OnKeyDown = [&](TColorGrid&, int& key, Qt::KeyboardModifiers) { seen.push_back(key); };
    Key(Qt::Key_A);
    Key(Qt::Key_Right, Qt::AltModifier);
    const std::vector<int> passed = {Qt::Key_A, Qt::Key_Alt, Qt::Key_Right};
    EXPECT_EQ(seen, passed);
    EXPECT_EQ(host.keys, passed);
    EXPECT_EQ(grid->Selection(), 0);

    // A handler that takes the key keeps the grid from acting on it.
    grid->OnKeyDown = [](TColorGrid&, int& key, Qt::KeyboardModifiers) { key = 0; };
    Key(Qt::Key_Right);
    Key(Qt::Key_F);
    EXPECT_EQ(grid->Selection(), 0);
    EXPECT_EQ(clicks, 0);
}

TEST_F(GridTest, TheGridsKeysAreNotTakenAsShortcutsOfTheWindow) {
    QKeyEvent arrow(QEvent::ShortcutOverride, Qt::Key_Down, Qt::NoModifier);
    arrow.ignore();
    QApplication::sendEvent(grid, &arrow);
    EXPECT_TRUE(arrow.isAccepted());
    QKeyEvent other(QEvent::ShortcutOverride, Qt::Key_Q, Qt::ControlModifier);
    other.ignore();
    QApplication::sendEvent(grid, &other);
    EXPECT_FALSE(other.isAccepted());
}

} // namespace
