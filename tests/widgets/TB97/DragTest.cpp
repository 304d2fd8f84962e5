// Dragging a real toolbar on a real form, offscreen: whole drags driven by
// mouse and key events, how they end (drop, second press, lost grab, quit),
// what is swallowed on the way, double clicks both ways, the rows a drop
// lands in, and what the drag measures of the form's docks.

#include "tests/widgets/TB97/TestSupport.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/HintSuspension.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarDrag.h"
#include "widgets/TB97/ToolbarOutline.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <QApplication>
#include <QGridLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

using namespace tb97;
using tb97test::Area;

namespace {

// Counts the events of each type an object receives.
class TEventSpy : public QObject {
public:
    std::map<QEvent::Type, int> Seen;
    std::map<Qt::MouseButton, int> Pressed;
    bool Swallow = false;
    QEvent::Type SwallowType = QEvent::None;
    bool eventFilter(QObject*, QEvent* event) override {
        ++Seen[event->type()];
        if (event->type() == QEvent::MouseButtonPress) {
            ++Pressed[static_cast<QMouseEvent*>(event)->button()];
        }
        return Swallow && event->type() == SwallowType;
    }
};

QMouseEvent* Mouse(QEvent::Type type, QWidget* to, QPoint global, Qt::MouseButton button,
                   Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return new QMouseEvent(type, QPointF(to->mapFromGlobal(global)), QPointF(global), button,
                           buttons, modifiers);
}

// Sends the event MAKE gives to TO once the event loop (the drag's) runs,
// after whatever was queued before. Mouse events share their device's point,
// so each is made only when it is sent.
void Later(QWidget* to, std::function<QEvent*()> make) {
    QTimer::singleShot(0, to, [to, make] {
        std::unique_ptr<QEvent> event(make());
        QCoreApplication::sendEvent(to, event.get());
    });
}

void PostMouse(QWidget* to, QEvent::Type type, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Later(to, [=] { return Mouse(type, to, global, button, buttons, modifiers); });
}

void PostMove(QWidget* to, QPoint global, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    PostMouse(to, QEvent::MouseMove, global, Qt::NoButton, Qt::LeftButton, modifiers);
}

void PostRelease(QWidget* to, QPoint global, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    PostMouse(to, QEvent::MouseButtonRelease, global, Qt::LeftButton, Qt::NoButton, modifiers);
}

void PostKey(QWidget* to, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
    Later(to, [=] { return new QKeyEvent(type, key, modifiers); });
}

// Presses the left button on W at GLOBAL; a drag it starts runs through the
// events posted beforehand and returns when they end it.
void PressAt(QWidget* w, QPoint global, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    std::unique_ptr<QMouseEvent> press(
        Mouse(QEvent::MouseButtonPress, w, global, Qt::LeftButton, Qt::LeftButton, modifiers));
    QCoreApplication::sendEvent(w, press.get());
}

void DoubleClickAt(QWidget* w, QPoint local) {
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(local), QPointF(w->mapToGlobal(local)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &click);
}

bool OutlineShowing() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "ToolbarOutline" && w->isVisible()) {
            return true;
        }
    }
    return false;
}

// A form laid out like the main window: docks on all four sides around a
// client area, and a toolbar of three 22-pixel items with separators between
// them: docked at the top 11 + 78 + 2 = 91 long and 26 thick.
class DragTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.setGeometry(50, 40, 600, 400);
        auto* grid = new QGridLayout(&form);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setSpacing(0);
        top = new TDock97(&form, dpTop);
        left = new TDock97(&form, dpLeft);
        right = new TDock97(&form, dpRight);
        bottom = new TDock97(&form, dpBottom);
        center = new QWidget(&form);
        grid->addWidget(top, 0, 0, 1, 3);
        grid->addWidget(left, 1, 0);
        grid->addWidget(center, 1, 1);
        grid->addWidget(right, 1, 2);
        grid->addWidget(bottom, 2, 0, 1, 3);
        grid->setRowStretch(1, 1);
        grid->setColumnStretch(1, 1);
        bar = MakeBar();
        bar->SetDefaultDock(top);
        bar->SetDockPos(0);
        bar->SetDockedTo(top);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QCoreApplication::processEvents();
    }

    void TearDown() override {
        if (QWidget* grabber = QWidget::mouseGrabber()) {
            grabber->releaseMouse();
        }
    }

    TToolbar97* MakeBar() {
        auto* made = new TToolbar97(&form);
        made->SetCaption("Tools");
        int x = 11;
        for (int i = 0; i < 3; ++i) {
            auto* item = new QWidget(made);
            item->setGeometry(x, 2, 22, 22);
            x += 22;
            if (i < 2) {
                auto* sep = new TToolbarSep97(made);
                sep->setGeometry(x, 2, 6, 22);
                x += 6;
            }
        }
        made->Loaded();
        return made;
    }

    QPoint Global(QWidget* w, QPoint local) const { return w->mapToGlobal(local); }
    // The drag handle of the docked toolbar.
    QPoint Handle() const { return bar->mapToGlobal(QPoint(5, 13)); }
    // On the empty left dock, 60 pixels down its length.
    QPoint OnLeftDock() const { return left->mapToGlobal(QPoint(0, 60)); }
    QPoint InClientArea() const { return center->mapToGlobal(center->rect().center()); }

    QWidget form;
    TDock97* top = nullptr;
    TDock97* left = nullptr;
    TDock97* right = nullptr;
    TDock97* bottom = nullptr;
    QWidget* center = nullptr;
    TToolbar97* bar = nullptr;
};

} // namespace

TEST_F(DragTest, FormIsLaidOutAsTheTestsAssume) {
    EXPECT_EQ(bar->size(), QSize(91, 26));
    EXPECT_EQ(top->height(), 26);
    EXPECT_EQ(left->width(), 0);
    EXPECT_GT(left->height(), 300);
}

TEST_F(DragTest, DragFromTheTopDockToTheLeftDockStandsTheToolbarUp) {
    // Held at (5, 13) of 91 × 26; standing 26 × 91 in the left dock the
    // toolbar is placed 1 left and 46 up from the pointer.
    PostMove(bar, Handle() + QPoint(-20, 40));
    PostMove(bar, OnLeftDock());
    PostRelease(bar, OnLeftDock());
    PressAt(bar, Handle());
    EXPECT_EQ(bar->DockedTo(), left);
    EXPECT_EQ(bar->Orientation(), TBarOrientation::kVertical);
    EXPECT_EQ(bar->size(), QSize(26, 91));
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bar->DockPos(), 60 - 46);
    EXPECT_EQ(bar->geometry().topLeft(), QPoint(0, 14));
    EXPECT_EQ(left->width(), 26);
    EXPECT_EQ(top->height(), 0);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(OutlineShowing());
}

TEST_F(DragTest, DragIntoTheClientAreaFloatsTheToolbarWhereTheOutlineWas) {
    // Floating it is 4 + 78 + 4 wide and 2 + 22 + 1 high, plus the frame
    // (4 on each side) and the caption (15): 94 × 48, held 5 and 24 in.
    const QPoint drop = InClientArea();
    PostMove(bar, drop);
    PostRelease(bar, drop);
    PressAt(bar, Handle());
    EXPECT_EQ(bar->DockedTo(), nullptr);
    EXPECT_TRUE(bar->isWindow());
    EXPECT_EQ(bar->geometry(), QRect(drop - QPoint(5, 24), QSize(94, 48)));
    EXPECT_EQ(bar->FloatingRect(), bar->geometry());
    EXPECT_EQ(top->height(), 0);
}

TEST_F(DragTest, PressAndReleaseWithoutAMoveLeaveAFloatingToolbarNearADockFloating) {
    DropFloating(*bar, QRect(QPoint(150, 32), QSize(94, 48)));
    ASSERT_EQ(bar->DockedTo(), nullptr);
    const QRect floating = bar->geometry();
    const QPoint caption = bar->mapToGlobal(QPoint(40, 8));
    {
        // So near the top dock that the least move takes it there.
        TToolbarDrag probe(*bar, caption, QPoint(40, 8), false);
        probe.MoveTo(caption + QPoint(1, 0));
        ASSERT_EQ(probe.TargetDock(), top);
    }
    PostRelease(bar, caption);
    PressAt(bar, caption);
    EXPECT_EQ(bar->DockedTo(), nullptr);
    EXPECT_EQ(bar->geometry(), floating);
    // A move event that does not move is no move either.
    PostMove(bar, caption);
    PostRelease(bar, caption);
    PressAt(bar, caption);
    EXPECT_EQ(bar->DockedTo(), nullptr);
    EXPECT_EQ(bar->geometry(), floating);
    EXPECT_EQ(bar->FloatingRect(), floating);
    EXPECT_FALSE(OutlineShowing());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(DragTest, UntilThePointerMovesTheTargetIsWhereTheToolbarIs) {
    TToolbarDrag drag(*bar, Handle(), QPoint(5, 13), false);
    EXPECT_EQ(drag.TargetDock(), top);
    EXPECT_EQ(drag.Target().Outline, QRect(Global(top, QPoint(0, 0)), QSize(91, 26)));
    // Ctrl before any move: still where it is.
    drag.SetForbidDocking(true);
    EXPECT_EQ(drag.TargetDock(), top);
    drag.MoveTo(Handle());
    EXPECT_EQ(drag.TargetDock(), top);
    // One pixel is a move: with Ctrl held it floats, also back at the press.
    drag.MoveTo(Handle() + QPoint(1, 0));
    EXPECT_EQ(drag.TargetDock(), nullptr);
    drag.MoveTo(Handle());
    EXPECT_EQ(drag.TargetDock(), nullptr);
    EXPECT_EQ(drag.Target().Outline.size(), QSize(94, 48));
}

TEST_F(DragTest, PressOnASeparatorStartsTheDragToo) {
    auto* sep = qobject_cast<TToolbarSep97*>(bar->Items()[1]);
    ASSERT_NE(sep, nullptr);
    const QPoint at = sep->mapToGlobal(QPoint(3, 10));
    PostMove(bar, OnLeftDock());
    PostRelease(bar, OnLeftDock());
    PressAt(sep, at);
    EXPECT_EQ(bar->DockedTo(), left);
}

TEST_F(DragTest, OnlyPressesOutsideTheItemsTakeTheToolbar) {
    EXPECT_TRUE(StartsDrag(*bar, QPoint(5, 13)));   // handle
    EXPECT_TRUE(StartsDrag(*bar, QPoint(35, 13)));  // separator
    EXPECT_TRUE(StartsDrag(*bar, QPoint(20, 1)));   // border above an item
    EXPECT_FALSE(StartsDrag(*bar, QPoint(11, 2)));  // an item's corner
    EXPECT_FALSE(StartsDrag(*bar, QPoint(88, 23))); // the last item's far corner
    EXPECT_TRUE(StartsDrag(*bar, QPoint(89, 13)));  // just past it
    bar->Items()[0]->hide();
    EXPECT_TRUE(StartsDrag(*bar, QPoint(5, 13)));
    top->SetAllowDrag(false);
    EXPECT_FALSE(StartsDrag(*bar, QPoint(1, 13)));
}

TEST_F(DragTest, DoubleClickFloatsADockedToolbarAndDocksItBackInFrontOfRowZero) {
    TToolbar97* other = MakeBar();
    other->SetDockPos(0);
    other->SetDockedTo(top);
    ASSERT_EQ(other->DockRow(), 0);
    const QPoint before = bar->mapToGlobal(QPoint(0, 0));
    DoubleClickAt(bar, QPoint(5, 13));
    ASSERT_EQ(bar->DockedTo(), nullptr);
    // Where it stood, grown by the frame.
    EXPECT_EQ(bar->geometry().topLeft(), before - QPoint(4, 0));
    // The caption of the floating window docks it at the front of row 0.
    DoubleClickAt(bar, QPoint(40, 8));
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(other->DockRow(), 0);
    EXPECT_EQ(bar->x(), 0);
    EXPECT_EQ(other->x(), 91);
}

TEST_F(DragTest, DoubleClickOnAnItemOrInAClosedDockDoesNothing) {
    DoubleClickAt(bar, QPoint(20, 10));
    EXPECT_EQ(bar->DockedTo(), top);
    top->SetAllowDrag(false);
    DoubleClickAt(bar, QPoint(5, 13));
    EXPECT_EQ(bar->DockedTo(), top);
}

TEST_F(DragTest, DoubleClickWithoutDefaultDockLeavesAFloatingToolbarFloating) {
    bar->SetDefaultDock(nullptr);
    DoubleClickAt(bar, QPoint(5, 13));
    ASSERT_EQ(bar->DockedTo(), nullptr);
    DoubleClickAt(bar, QPoint(40, 8));
    EXPECT_EQ(bar->DockedTo(), nullptr);
}

TEST_F(DragTest, CtrlHeldFromThePressKeepsTheToolbarFloating) {
    PostMove(bar, Handle() + QPoint(3, 0), Qt::ControlModifier);
    PostRelease(bar, Handle() + QPoint(3, 0), Qt::ControlModifier);
    PressAt(bar, Handle(), Qt::ControlModifier);
    EXPECT_EQ(bar->DockedTo(), nullptr);
}

TEST_F(DragTest, PressingAndReleasingCtrlMidDragSwitchesAtOnce) {
    const QPoint over = Handle() + QPoint(100, 0); // still over the top dock
    PostMove(bar, over);
    PostKey(bar, QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    PostRelease(bar, over, Qt::ControlModifier);
    PressAt(bar, Handle());
    EXPECT_EQ(bar->DockedTo(), nullptr);

    // Floating now; Ctrl held at the press, let go before the release: docks.
    const QPoint caption = bar->mapToGlobal(QPoint(40, 8));
    PostMove(bar, Global(top, QPoint(300, 0)), Qt::ControlModifier);
    PostKey(bar, QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    PostRelease(bar, Global(top, QPoint(300, 0)));
    PressAt(bar, caption, Qt::ControlModifier);
    EXPECT_EQ(bar->DockedTo(), top);
}

TEST_F(DragTest, CtrlSwitchesTheOutlineBetweenDockedAndFloatingThickness) {
    TToolbarDrag drag(*bar, Handle(), QPoint(5, 13), false);
    drag.MoveTo(Handle() + QPoint(100, 0));
    ASSERT_EQ(drag.TargetDock(), top);
    const QRect docked = drag.Target().Outline;
    EXPECT_EQ(docked.size(), QSize(91, 26));
    EXPECT_EQ(Area(drag.Outline()->Shown()), 2 * 91 + 2 * 24); // one pixel wide
    drag.SetForbidDocking(true);
    EXPECT_EQ(drag.TargetDock(), nullptr);
    EXPECT_EQ(drag.Target().Outline.size(), QSize(94, 48));
    EXPECT_EQ(Area(drag.Outline()->Shown()), 2 * 94 * 4 + 2 * 40 * 4); // frame wide
    drag.SetForbidDocking(false);
    EXPECT_EQ(drag.TargetDock(), top);
    EXPECT_EQ(drag.Target().Outline, docked);
}

TEST_F(DragTest, MovingTheOutlineDrawsOnlyWhatItNewlyCovers) {
    TToolbarDrag drag(*bar, Handle(), QPoint(5, 13), true);
    drag.MoveTo(InClientArea());
    EXPECT_EQ(drag.Outline()->LastPainted(), drag.Outline()->Shown());
    drag.MoveTo(InClientArea() + QPoint(1, 0));
    // One column on each side of a 48-high frame 4 wide: 2 × 48 − 2 × 4.
    EXPECT_EQ(Area(drag.Outline()->LastPainted()), 88);
    drag.MoveTo(InClientArea() + QPoint(1, 0));
    EXPECT_TRUE(drag.Outline()->LastPainted().isEmpty());
}

TEST_F(DragTest, CanDockLeftRightOffKeepsTheToolbarOffTheSideDocks) {
    bar->SetCanDockLeftRight(false);
    PostMove(bar, OnLeftDock());
    PostRelease(bar, OnLeftDock());
    PressAt(bar, Handle());
    EXPECT_EQ(bar->DockedTo(), nullptr);
    // The bottom dock still takes it.
    const QPoint onBottom = Global(bottom, QPoint(200, 0));
    PostMove(bar, onBottom);
    PostRelease(bar, onBottom);
    PressAt(bar, bar->mapToGlobal(QPoint(40, 8)));
    EXPECT_EQ(bar->DockedTo(), bottom);
}

TEST_F(DragTest, DraggedOffTheWorkAreaTheToolbarStaysOnIt) {
    const QRect area = form.screen()->availableGeometry();
    PostMove(bar, area.topLeft() - QPoint(500, 500));
    PostRelease(bar, area.topLeft() - QPoint(500, 500));
    PressAt(bar, Handle());
    ASSERT_EQ(bar->DockedTo(), nullptr);
    EXPECT_EQ(bar->geometry().topLeft(), area.topLeft() + QPoint(8, 8));
    PostMove(bar, area.bottomRight() + QPoint(500, 500));
    PostRelease(bar, area.bottomRight() + QPoint(500, 500));
    PressAt(bar, bar->mapToGlobal(QPoint(40, 8)));
    EXPECT_EQ(bar->geometry().bottomRight(), area.bottomRight() - QPoint(8, 8));
}

TEST_F(DragTest, SecondLeftPressEndsTheDragWithoutEffect) {
    for (const QEvent::Type ending : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
        SCOPED_TRACE(ending);
        PostMove(bar, OnLeftDock());
        PostMouse(bar, ending, OnLeftDock(), Qt::LeftButton, Qt::LeftButton);
        // Delivered after the drag: the toolbar gets it as an ordinary release.
        PostRelease(bar, OnLeftDock());
        PressAt(bar, Handle());
        QCoreApplication::processEvents();
        EXPECT_EQ(bar->DockedTo(), top);
        EXPECT_EQ(bar->geometry(), QRect(0, 0, 91, 26));
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_FALSE(OutlineShowing());
    }
}

TEST_F(DragTest, LosingTheMouseGrabEndsTheDragWithoutEffect) {
    QWidget other(&form);
    other.show();
    PostMove(bar, OnLeftDock());
    QTimer::singleShot(0, &other, [&other] { other.grabMouse(); });
    PostMove(bar, OnLeftDock() + QPoint(0, 5));
    PostRelease(bar, OnLeftDock());
    PressAt(bar, Handle());
    other.releaseMouse();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_FALSE(OutlineShowing());
}

TEST_F(DragTest, QuitEndsTheDragWithoutEffectAndGoesOnToTheApplication) {
    // Caught before the application acts on it, so the test program goes on.
    TEventSpy quitCatcher;
    quitCatcher.Swallow = true;
    quitCatcher.SwallowType = QEvent::Quit;
    qApp->installEventFilter(&quitCatcher);
    PostMove(bar, OnLeftDock());
    QTimer::singleShot(0, qApp, [] {
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
    });
    PostRelease(bar, OnLeftDock());
    PressAt(bar, Handle());
    QCoreApplication::processEvents();
    qApp->removeEventFilter(&quitCatcher);
    EXPECT_EQ(quitCatcher.Seen[QEvent::Quit], 1);
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(DragTest, OtherButtonsAndKeysAreSwallowedAndEscapeDoesNotCancel) {
    TEventSpy spy;
    bar->installEventFilter(&spy);
    PostMove(bar, OnLeftDock());
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        PostMouse(bar, QEvent::MouseButtonPress, OnLeftDock(), button, Qt::LeftButton | button);
        PostMouse(bar, QEvent::MouseButtonRelease, OnLeftDock(), button, Qt::LeftButton);
    }
    PostKey(bar, QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    PostKey(bar, QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    PostKey(bar, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    PostRelease(bar, OnLeftDock());
    PressAt(bar, Handle());
    bar->removeEventFilter(&spy);
    EXPECT_EQ(bar->DockedTo(), left);
    EXPECT_EQ(spy.Pressed[Qt::RightButton], 0);
    EXPECT_EQ(spy.Pressed[Qt::MiddleButton], 0);
    EXPECT_EQ(spy.Seen[QEvent::KeyPress], 0);
    EXPECT_EQ(spy.Seen[QEvent::KeyRelease], 0);
}

TEST_F(DragTest, HintsAreSuspendedForTheDragAndBackAfterwards) {
    QWidget* item = bar->Items()[0];
    TEventSpy spy;
    item->installEventFilter(&spy);
    auto askForHint = [item] {
        Later(item, [item] {
            return new QHelpEvent(QEvent::ToolTip, QPoint(5, 5), item->mapToGlobal(QPoint(5, 5)));
        });
    };
    bool suspended = false;
    PostMove(bar, InClientArea());
    QTimer::singleShot(0, bar, [&] { suspended = THintSuspension::Active(); });
    askForHint();
    PostRelease(bar, Handle());
    PressAt(bar, Handle());
    QCoreApplication::processEvents();
    EXPECT_TRUE(suspended);
    EXPECT_EQ(spy.Seen[QEvent::ToolTip], 0);
    EXPECT_FALSE(THintSuspension::Active());
    askForHint();
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.Seen[QEvent::ToolTip], 1);
    item->removeEventFilter(&spy);
}

TEST_F(DragTest, DropRowsFollowTheDropPosition) {
    // Rows of the top dock: 0 from y 0 to 25, 1 from 26 to 51; a dropped
    // outline is 26 high, so its centre lies 13 below its top.
    struct TCase {
        int CentreY;
        int BarRow, FirstRow, SecondRow;
    };
    const TCase cases[] = {
        {5, 0, 1, 2},  // within 5 of row 0's start: a new row before it
        {13, 0, 0, 1}, // the middle of row 0: joins it
        {21, 0, 0, 1}, // 5 before its end: still joins
        {22, 1, 0, 2}, // past that, within 5 of row 1's start: a new row between
        {39, 1, 0, 1}, // the middle of row 1: joins it
        {57, 2, 0, 1}, // past the last row: a new last row
    };
    bar->SetDockedTo(nullptr);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.CentreY);
        TToolbar97* first = MakeBar();
        first->SetDockRow(0);
        first->SetDockedTo(top);
        TToolbar97* second = MakeBar();
        second->SetDockRow(1);
        second->SetDockedTo(top);
        ASSERT_EQ(top->RowCount(), 2);
        const QRect outline(Global(top, QPoint(200, c.CentreY - 13)), QSize(91, 26));
        DropOnDock(*bar, *top, outline);
        EXPECT_EQ(bar->DockedTo(), top);
        EXPECT_EQ(bar->DockRow(), c.BarRow);
        EXPECT_EQ(first->DockRow(), c.FirstRow);
        EXPECT_EQ(second->DockRow(), c.SecondRow);
        EXPECT_EQ(bar->DockPos(), 200);
        delete first;
        delete second;
        bar->SetDockedTo(nullptr);
    }
}

TEST_F(DragTest, DropInItsOwnRowMovesTheToolbarAlongIt) {
    const QRect outline(Global(top, QPoint(150, 0)), QSize(91, 26));
    DropOnDock(*bar, *top, outline);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bar->geometry(), QRect(150, 0, 91, 26));
    EXPECT_EQ(top->RowCount(), 1);
}

TEST_F(DragTest, CandidateSizesFollowEachDocksOrientation) {
    const std::vector<TDock97*> docks = FormDocks(*bar);
    ASSERT_EQ(docks, (std::vector<TDock97*>{top, left, right, bottom}));
    std::vector<TDockCandidate> candidates = DockCandidates(*bar, docks);
    ASSERT_EQ(candidates.size(), 4u);
    EXPECT_EQ(candidates[0].BarSize, QSize(91, 26));
    EXPECT_EQ(candidates[1].BarSize, QSize(26, 91));
    EXPECT_EQ(candidates[2].BarSize, QSize(26, 91));
    EXPECT_EQ(candidates[3].BarSize, QSize(91, 26));
    EXPECT_EQ(candidates[0].ScreenRect, QRect(top->mapToGlobal(QPoint(0, 0)), QSize(600, 26)));
    EXPECT_EQ(FloatingSize(*bar), QSize(94, 48));
    // Without a drag handle in the bottom dock the toolbar is 9 shorter.
    bottom->SetAllowDrag(false);
    candidates = DockCandidates(*bar, docks);
    EXPECT_EQ(candidates[3].BarSize, QSize(82, 26));
    EXPECT_FALSE(candidates[3].AllowDrag);
    // Wrapped while floating, the floating size follows the wrap width: two
    // items a row (4 + 50 + 4), two rows 22 + 6 apart.
    bar->SetDockedTo(nullptr);
    bar->SetFloatingWidth(60);
    EXPECT_EQ(FloatingSize(*bar), QSize(58 + 8, 2 + 22 + 6 + 22 + 1 + 8 + 15));
}

TEST_F(DragTest, DocksOfOtherFormsAreNotCandidates) {
    QWidget otherForm;
    TDock97 foreign(&otherForm);
    TDock97 lent(&otherForm, dpTop, &form); // placed on our form but owned by the other
    EXPECT_EQ(FormDocks(*bar).size(), 4u);
}

TEST(ToolbarOutlineTest, CheckerboardFrameAlignedToTheScreenAndHiddenWhenEmpty) {
    TToolbarOutline outline;
    // Standing off the screen's origin by an odd amount, as on a desktop of
    // several screens: the pattern still follows the screen, not the window.
    outline.setGeometry(outline.geometry().translated(3, 0));
    const QPoint origin = outline.geometry().topLeft();
    ASSERT_EQ(origin.x() % 2, 1);
    // Two outlines a pixel apart horizontally: the same screen pixel keeps
    // its colour, black where x + y is even, white where it is odd.
    for (const QRect rect : {QRect(101, 50, 20, 10), QRect(102, 50, 20, 10)}) {
        SCOPED_TRACE(rect.left());
        outline.SetOutline(rect, 4);
        ASSERT_TRUE(outline.isVisible());
        EXPECT_EQ(outline.mask(), OutlineRegion(rect, 4).translated(-origin));
        const QImage shot = outline.grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (const QPoint p : {rect.topLeft(), rect.topLeft() + QPoint(1, 0),
                               rect.topLeft() + QPoint(3, 3), rect.bottomRight()}) {
            const QPoint at = p - origin;
            const QRgb expected = (p.x() + p.y()) % 2 == 0 ? 0x000000u : 0xFFFFFFu;
            EXPECT_EQ(shot.pixel(at) & 0xFFFFFFu, expected) << p.x() << "," << p.y();
        }
    }
    outline.SetOutline(QRect(), 1);
    EXPECT_FALSE(outline.isVisible());
    EXPECT_TRUE(outline.Shown().isEmpty());
}
