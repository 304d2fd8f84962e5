// Toolbars: the arrangement of their items docked and floating, the docked
// look pixel by pixel, separators in either direction, the DockedTo events,
// the form hook, and misuse.

#include "tests/widgets/TB97/TestSupport.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tb97test;

namespace {

// The main window's toolbar: stored left edge, kind ('b' button, 's' etched
// separator, '_' blank separator, 'x' another control).
struct TItem {
    int Left;
    char Kind;
};
constexpr TItem kMainItems[] = {
    {11, 'b'},  {33, '_'},  {39, 'b'},  {61, 's'},  {67, 'b'},  {89, '_'},  {95, 'b'},
    {117, '_'}, {123, 'b'}, {145, 's'}, {151, 'b'}, {173, 's'}, {179, 'x'},
};

template <class F> std::string ErrorOf(F&& action) {
    try {
        action();
    } catch (const EInvalidOperation& error) {
        return error.what();
    }
    return "no error";
}

// Records the events of a toolbar and its docks in order.
struct TEventLog {
    std::vector<std::string> Seen;
    void Watch(TToolbar97& bar) {
        bar.OnDockChanging = [this] { Seen.push_back("DockChanging"); };
        bar.OnDockChanged = [this] { Seen.push_back("DockChanged"); };
        bar.OnRecreating = [this] { Seen.push_back("Recreating"); };
        bar.OnRecreated = [this] { Seen.push_back("Recreated"); };
    }
    void Watch(TDock97& dock, const std::string& name) {
        dock.OnInsertRemoveBar = [this, name](TDock97*, bool inserting, TToolbar97*) {
            Seen.push_back(name + (inserting ? " insert" : " remove"));
        };
    }
};

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.resize(500, 400);
        top = new TDock97(&form, dpTop);
        left = new TDock97(&form, dpLeft);
        bar = new TToolbar97(&form);
        // Made in reverse order: the stored positions decide the order.
        for (int i = static_cast<int>(std::size(kMainItems)) - 1; i >= 0; --i) {
            QWidget* item = nullptr;
            switch (kMainItems[i].Kind) {
            case 'b':
                item = new TToolbarButton97(bar);
                break;
            case 's':
            case '_': {
                auto* sep = new TToolbarSep97(bar);
                sep->SetBlank(kMainItems[i].Kind == '_');
                item = sep;
                break;
            }
            default:
                item = new QWidget(bar);
                break;
            }
            item->setGeometry(kMainItems[i].Left, 2, item->inherits("TToolbarSep97") ? 6 : 22, 22);
            items.insert(items.begin(), item);
        }
        bar->Loaded();
    }

    QWidget form;
    TDock97* top = nullptr;
    TDock97* left = nullptr;
    TToolbar97* bar = nullptr;
    std::vector<QWidget*> items; // in stored order
};

} // namespace

TEST_F(ToolbarTest, MainToolbarIs203By26WithItemsWhereTheyBelong) {
    bar->SetDockedTo(top);
    EXPECT_EQ(bar->size(), QSize(203, 26));
    EXPECT_EQ(top->height(), 26);
    ASSERT_EQ(bar->Items().size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bar->Items()[i], items[i]);
        EXPECT_EQ(items[i]->x(), kMainItems[i].Left);
        EXPECT_EQ(items[i]->y(), 2);
        EXPECT_EQ(items[i]->height(), 22);
    }
}

TEST_F(ToolbarTest, DockedLookHasBorderHandleAndEtchedSeparators) {
    bar->SetDockedTo(top);
    const QImage shot = Shot(*bar);
    // Raised border.
    EXPECT_EQ(At(shot, 0, 0), kHighlight);
    EXPECT_EQ(At(shot, 0, 24), kHighlight);
    EXPECT_EQ(At(shot, 202, 0), kShadow);
    EXPECT_EQ(At(shot, 0, 25), kShadow);
    EXPECT_EQ(At(shot, 202, 25), kShadow);
    EXPECT_EQ(At(shot, 1, 1), kFace);
    // Two bars, x 4-6 and 7-9, y 2-23: highlight, face, shadow across.
    for (const int barLeft : {4, 7}) {
        SCOPED_TRACE(barLeft);
        EXPECT_EQ(At(shot, barLeft, 12), kHighlight);
        EXPECT_EQ(At(shot, barLeft + 1, 12), kFace);
        EXPECT_EQ(At(shot, barLeft + 2, 12), kShadow);
        EXPECT_EQ(At(shot, barLeft + 1, 2), kHighlight); // top line
        EXPECT_EQ(At(shot, barLeft + 2, 2), kShadow);    // top-right corner
        EXPECT_EQ(At(shot, barLeft + 1, 23), kShadow);   // bottom line
        EXPECT_EQ(At(shot, barLeft, 23), kHighlight);    // the extra highlight pixel
        EXPECT_EQ(At(shot, barLeft + 1, 1), kFace);
        EXPECT_EQ(At(shot, barLeft + 1, 24), kFace);
    }
    EXPECT_EQ(At(shot, 10, 12), kFace);
    // Etched separator at 61: shadow at 63, highlight at 64, full height.
    for (const int y : {2, 12, 23}) {
        EXPECT_EQ(At(shot, 63, y), kShadow);
        EXPECT_EQ(At(shot, 64, y), kHighlight);
        EXPECT_EQ(At(shot, 62, y), kFace);
    }
    // Blank separator at 33: nothing.
    EXPECT_EQ(At(shot, 35, 12), kFace);
    EXPECT_EQ(At(shot, 36, 12), kFace);
}

TEST_F(ToolbarTest, SideDockLaysOutVerticallyWithHorizontalLines) {
    bar->SetDockedTo(left);
    EXPECT_EQ(bar->size(), QSize(26, 203));
    EXPECT_EQ(left->width(), 26);
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i]->y(), kMainItems[i].Left);
        EXPECT_EQ(items[i]->x(), 2);
    }
    const QImage shot = Shot(*bar);
    // Separator at y 61: shadow line at 63, highlight at 64, across the row.
    for (const int x : {2, 12, 23}) {
        EXPECT_EQ(At(shot, x, 63), kShadow);
        EXPECT_EQ(At(shot, x, 64), kHighlight);
    }
    // Handle bars across: y 4-6 and 7-9, extra highlight at (width - 3, top).
    EXPECT_EQ(At(shot, 12, 4), kHighlight);
    EXPECT_EQ(At(shot, 12, 5), kFace);
    EXPECT_EQ(At(shot, 12, 6), kShadow);
    EXPECT_EQ(At(shot, 23, 4), kHighlight);
    EXPECT_EQ(At(shot, 23, 7), kHighlight);
    EXPECT_EQ(At(shot, 23, 5), kShadow);
    // Back on the top dock the items line up along x again.
    bar->SetDockedTo(top);
    EXPECT_EQ(items[2]->x(), 39);
    EXPECT_EQ(left->width(), 0);
}

TEST_F(ToolbarTest, NoDragHandleWithoutAllowDrag) {
    top->SetAllowDrag(false);
    bar->SetDockedTo(top);
    EXPECT_EQ(items[0]->x(), 2);
    EXPECT_EQ(bar->width(), 203 - 9);
    const QImage shot = Shot(*bar);
    EXPECT_EQ(At(shot, 1, 12), kFace);
    EXPECT_EQ(At(shot, 4, 12), kFace); // the first button, no handle bar
    EXPECT_EQ(At(shot, 6, 12), kFace);
    EXPECT_FALSE(bar->HasDragHandle());
}

TEST_F(ToolbarTest, FloatingUsesItsMarginsAndFrame) {
    EXPECT_EQ(bar->DockedTo(), nullptr);
    EXPECT_EQ(bar->parentWidget(), bar->FloatParent());
    EXPECT_TRUE(bar->isWindow());
    // 4 + 7 × 22 + 6 × 6 + 4 long, 2 + 22 + 1 high, plus the frame.
    EXPECT_EQ(bar->ArrangedSize(tb97::TBarOrientation::kFloating, true, 0), QSize(198, 25));
    EXPECT_EQ(bar->size(), QSize(198 + 8, 25 + 8 + 15));
    EXPECT_EQ(items[0]->pos(), QPoint(4 + 4, 4 + 15 + 2));
}

TEST_F(ToolbarTest, FloatingToolbarWrapsAtSeparatorsWithDividers) {
    bar->SetFloatingWidth(100);
    EXPECT_EQ(bar->RowDividers(), (std::vector<int>{30, 58}));
    const QPoint origin = bar->ClientOrigin();
    // Rows: Open, Save, Find | Find next, Copy, Setup | About.
    EXPECT_EQ(items[4]->pos() - origin, QPoint(60, 2));
    EXPECT_EQ(items[5]->width(), 0); // the separator ending a row
    EXPECT_EQ(items[6]->pos() - origin, QPoint(4, 30));
    EXPECT_EQ(items[12]->pos() - origin, QPoint(4, 58));
    EXPECT_EQ(bar->ArrangedSize(tb97::TBarOrientation::kFloating, true, 100), QSize(86, 81));
    // The dividers: shadow 4 and highlight 3 pixels above each new row.
    const QImage shot = Shot(*bar);
    EXPECT_EQ(At(shot, origin.x() + 40, origin.y() + 26), kShadow);
    EXPECT_EQ(At(shot, origin.x() + 40, origin.y() + 27), kHighlight);
    EXPECT_EQ(At(shot, origin.x() + 40, origin.y() + 54), kShadow);
}

TEST_F(ToolbarTest, DockingAndFloatingFireTheirEventsInOrder) {
    TEventLog log;
    log.Watch(*bar);
    log.Watch(*top, "top");
    log.Watch(*left, "left");
    bar->SetDockedTo(top);
    bar->SetDockedTo(left);
    bar->SetDockedTo(left); // no change: nothing
    bar->SetDockedTo(nullptr);
    const std::vector<std::string> expected = {
        "DockChanging", "Recreating",  "top insert",  "Recreated",   "DockChanged", "DockChanging",
        "Recreating",   "top remove",  "left insert", "Recreated",   "DockChanged", "DockChanging",
        "Recreating",   "left remove", "Recreated",   "DockChanged",
    };
    EXPECT_EQ(log.Seen, expected);
    EXPECT_EQ(bar->parentWidget(), bar->FloatParent());
    EXPECT_FALSE(bar->FloatingRect().isEmpty());
}

TEST_F(ToolbarTest, FloatingToolbarIsKeptOnScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    bar->SetFloatingRect(QRect(area.right() + 500, area.bottom() + 500, 206, 48));
    bar->KeepOnScreen();
    EXPECT_TRUE(bar->geometry().intersects(area));
    EXPECT_EQ(bar->geometry().right(), area.right());
    EXPECT_EQ(bar->geometry().bottom(), area.bottom());
    bar->SetFloatingRect(QRect(area.left() - 1000, area.top() + 10, 206, 48));
    bar->KeepOnScreen();
    EXPECT_EQ(bar->geometry().topLeft(), QPoint(area.left(), area.top() + 10));
}

TEST_F(ToolbarTest, HiddenItemsTakeNoRoomAndNewItemsGoLast) {
    bar->SetDockedTo(top);
    items[0]->hide();
    EXPECT_EQ(bar->width(), 203 - 22);
    EXPECT_EQ(items[1]->x(), 11);
    auto* extra = new TToolbarButton97(bar);
    extra->resize(22, 22);
    QCoreApplication::processEvents(); // arranged once it is whole
    EXPECT_EQ(bar->Items().back(), extra);
    EXPECT_EQ(extra->x(), 203 - 22 - 2);
    EXPECT_EQ(bar->width(), 203);
    auto* sep = static_cast<TToolbarSep97*>(items[1]);
    sep->SetSizeHorz(10);
    EXPECT_EQ(bar->width(), 207);
}

TEST_F(ToolbarTest, APressOnASeparatorGoesToTheToolbar) {
    bar->SetDockedTo(top);
    struct TPressSpy : QObject {
        QPoint At{-1, -1};
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::MouseButtonPress) {
                At = static_cast<QMouseEvent*>(event)->position().toPoint();
            }
            return false;
        }
    } spy;
    bar->installEventFilter(&spy);
    QTest::mousePress(items[3], Qt::LeftButton, {}, QPoint(2, 5));
    EXPECT_EQ(spy.At, QPoint(61 + 2, 2 + 5));
    QTest::mouseRelease(items[3], Qt::LeftButton, {}, QPoint(2, 5));
}

TEST_F(ToolbarTest, OneFormHookSharedByAllToolbars) {
    EXPECT_EQ(tb97::TFormHook::HolderCount(&form), 1);
    auto* second = new TToolbar97(&form);
    EXPECT_EQ(tb97::TFormHook::HolderCount(&form), 2);
    delete second;
    EXPECT_EQ(tb97::TFormHook::HolderCount(&form), 1);
    delete bar;
    EXPECT_EQ(tb97::TFormHook::HolderCount(&form), 0);
}

TEST_F(ToolbarTest, FloatingToolbarShowsWithItsForm) {
    EXPECT_FALSE(bar->isVisible());
    form.show();
    // Floating toolbars show while the application is active.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    form.hide();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(bar->Visible());
}

TEST_F(ToolbarTest, MisuseIsRefusedWithItsMessage) {
    EXPECT_EQ(ErrorOf([] { TToolbar97 orphan(nullptr); }), "TToolbar97 must be owned by a form");
    QWidget other(&form);
    EXPECT_EQ(ErrorOf([&] { TToolbar97 owned(&other); }), "TToolbar97 must be owned by a form");
    EXPECT_EQ(ErrorOf([&] { bar->SetParentControl(&other); }),
              "TToolbar97 can only be placed on a TDock97 or directly on the form");
    EXPECT_EQ(ErrorOf([&] { TToolbarSep97 sep(&other); }),
              "TToolbarSep97 can only be placed on a TToolbar97");
    EXPECT_EQ(ErrorOf([&] { static_cast<TToolbarSep97*>(items[1])->SetParentToolbar(&other); }),
              "TToolbarSep97 can only be placed on a TToolbar97");
    // The form as parent floats the toolbar; a dock docks it.
    bar->SetParentControl(top);
    EXPECT_EQ(bar->DockedTo(), top);
    bar->SetParentControl(&form);
    EXPECT_EQ(bar->DockedTo(), nullptr);
}

TEST_F(ToolbarTest, AHoverChangeRepaintsOneButtonOnly) {
    bar->SetDockedTo(top);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    struct TPaintSpy : QObject {
        std::vector<QObject*> Painted;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                Painted.push_back(watched);
            }
            return false;
        }
    } spy;
    QWindow* window = form.windowHandle();
    QTest::mouseMove(window, QPoint(300, 200));
    QCoreApplication::processEvents();
    bar->installEventFilter(&spy);
    top->installEventFilter(&spy);
    for (QWidget* item : items) {
        item->installEventFilter(&spy);
    }
    // Onto Save, then onto the etched separator beside it.
    QTest::mouseMove(window, items[2]->mapTo(&form, QPoint(11, 11)));
    QCoreApplication::processEvents();
    EXPECT_EQ(TToolbarButton97::HotButton(), items[2]);
    EXPECT_EQ(spy.Painted, std::vector<QObject*>{items[2]});
    spy.Painted.clear();
    QTest::mouseMove(window, items[3]->mapTo(&form, QPoint(3, 11)));
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.Painted, std::vector<QObject*>{items[2]});
}

TEST_F(ToolbarTest, ItemHintsShowOnlyWhileTheToolbarShowsHints) {
    bar->SetDockedTo(top);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    items[0]->setToolTip("Open");
    auto ask = [&] {
        const QPoint at(11, 11);
        QHelpEvent help(QEvent::ToolTip, at, items[0]->mapToGlobal(at));
        QCoreApplication::sendEvent(items[0], &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(ask(), "");
    bar->SetShowHint(true);
    EXPECT_EQ(ask(), "Open");
    QToolTip::hideText();
}

TEST_F(ToolbarTest, DropdownMenusOpenBesideButtonsInSideDocks) {
    QMenu menu;
    menu.addAction("One");
    auto* button = static_cast<TToolbarButton97*>(items[0]);
    button->SetDropdownMenu(&menu);
    form.move(200, 150);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    bar->SetDockedTo(top); // below the button, left-aligned
    button->Click();
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), button->mapToGlobal(QPoint(0, button->height())));
    menu.hide();
    QCoreApplication::processEvents();

    bar->SetDockedTo(left); // at its top-right corner
    button->Click();
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), button->mapToGlobal(QPoint(button->width(), 0)));
    menu.hide();
    QCoreApplication::processEvents();

    TDock97 right(&form, dpRight); // its right edge at the button's left
    bar->SetDockedTo(&right);
    button->Click();
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.geometry().right() + 1, button->mapToGlobal(QPoint(0, 0)).x());
    EXPECT_EQ(menu.y(), button->mapToGlobal(QPoint(0, 0)).y());
    menu.hide();
    QCoreApplication::processEvents();
    bar->SetDockedTo(top);
}
