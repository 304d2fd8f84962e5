// The toolbar family as a screen reader reads it: names from hints, a
// floating toolbar's window and its close square, and the keyboard's visit
// of a docked toolbar.

#include "widgets/TB97/ToolbarAccessible.h"

#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/FloatingFrame.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/TB97/ToolbarKeys.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Family {
    Family() { QAccessible::installFactory(tb97::ToolbarAccessible); }
    ~Family() { QAccessible::removeFactory(tb97::ToolbarAccessible); }
};

class ToolbarAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.resize(400, 300);
        dock = new TDock97(&form, dpTop);
        dock->setGeometry(0, 0, 400, 26);
        bar = new TToolbar97(&form);
        bar->SetCaption("Tools");
        const char* hints[] = {"Open (Ctrl + O)", "Find next (F3)", "Setup"};
        int x = 4;
        for (const char* hint : hints) {
            auto* button = new TToolbarButton97(bar);
            button->setGeometry(x, 2, 22, 22);
            button->setToolTip(hint);
            button->OnClick = [this, button] { clicked.push_back(button); };
            buttons.push_back(button);
            x += 22;
            auto* sep = new TToolbarSep97(bar);
            sep->setGeometry(x, 2, 6, 22);
            x += 6;
        }
        buttons[1]->setEnabled(false);
        bar->Loaded();
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    void Dock() {
        bar->SetDockedTo(dock);
        QApplication::processEvents();
        ASSERT_FALSE(bar->isWindow());
    }
    static QAccessibleInterface* Of(QObject* object) {
        return QAccessible::queryAccessibleInterface(object);
    }

    Family family;
    QWidget form;
    TDock97* dock = nullptr;
    TToolbar97* bar = nullptr;
    std::vector<TToolbarButton97*> buttons;
    std::vector<TToolbarButton97*> clicked;
};

} // namespace

TEST(SplitHint, ActionAndKeyApart) {
    using tb97::SplitHint;
    EXPECT_EQ(SplitHint("Open (Ctrl + O)").Action, "Open");
    EXPECT_EQ(SplitHint("Open (Ctrl + O)").Key, "Ctrl + O");
    EXPECT_EQ(SplitHint("Save as RTF (Ctrl + S)").Action, "Save as RTF");
    EXPECT_EQ(SplitHint("Find next (F3)").Key, "F3");
    // No key part: all action.
    EXPECT_EQ(SplitHint("Setup").Action, "Setup");
    EXPECT_EQ(SplitHint("Setup").Key, "");
    EXPECT_EQ(SplitHint("").Action, "");
    // Brackets that are not a key part at the end stay in the action.
    EXPECT_EQ(SplitHint("Copy (all) now").Action, "Copy (all) now");
    EXPECT_EQ(SplitHint("(F3)").Action, "(F3)");
    EXPECT_EQ(SplitHint("Run ()").Action, "Run ()");
    EXPECT_EQ(SplitHint("Run ()").Key, "");
    // Only the last bracket is the key.
    EXPECT_EQ(SplitHint("Go (fast) (F5)").Action, "Go (fast)");
    EXPECT_EQ(SplitHint("Go (fast) (F5)").Key, "F5");
}

TEST_F(ToolbarAccessTest, FloatingToolbarIsAWindowWithACloseButton) {
    ASSERT_TRUE(bar->isWindow()); // a toolbar starts floating
    QAccessibleInterface* window = Of(bar);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "Tools");
    const int items = 6;
    ASSERT_EQ(window->childCount(), items + 1);
    QAccessibleInterface* close = window->child(items);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->role(), QAccessible::PushButton);
    EXPECT_EQ(close->text(QAccessible::Name), "Close");
    EXPECT_EQ(window->indexOfChild(close), items);
    EXPECT_EQ(close->parent(), window);
    EXPECT_EQ(window->child(items + 1), nullptr);
    // Where the frame paints it.
    const QRect square = tb97::FloatingCloseRect(bar->size(), tb97::FloatingMetrics());
    EXPECT_EQ(close->rect(), QRect(bar->mapToGlobal(square.topLeft()), square.size()));

    bool closedCalled = false;
    bar->OnClose = [&] { closedCalled = true; };
    close->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(bar->isVisible()); // not before the caller has returned
    QApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(closedCalled);
}

TEST_F(ToolbarAccessTest, AFloatingToolbarWithNoDockToGoToIsNotVisited) {
    delete dock;
    dock = nullptr;
    QWidget* back = new QWidget(&form);
    back->setFocusPolicy(Qt::StrongFocus);
    back->show();
    back->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return back->hasFocus(); }));
    EXPECT_FALSE(tb97::ToggleKeyboardFocus(*bar, back));
    EXPECT_TRUE(bar->isWindow());
    EXPECT_TRUE(back->hasFocus());
}

TEST_F(ToolbarAccessTest, DockedToolbarIsAToolBarWithoutCloseButton) {
    bar->SetCloseButton(true);
    Dock();
    QAccessibleInterface* toolbar = Of(bar);
    EXPECT_EQ(toolbar->role(), QAccessible::ToolBar);
    EXPECT_EQ(toolbar->childCount(), 6);
    EXPECT_EQ(Of(dock)->role(), QAccessible::Pane);
    EXPECT_EQ(toolbar->parent()->object(), dock);
    // Floating without the square: none either.
    bar->SetCloseButton(false);
    bar->SetDockedTo(nullptr);
    QApplication::processEvents();
    ASSERT_TRUE(bar->isWindow());
    EXPECT_EQ(Of(bar)->childCount(), 6);
}

TEST_F(ToolbarAccessTest, ButtonsPressOnlyWhileEnabled) {
    QAccessibleInterface* open = Of(buttons[0]);
    EXPECT_EQ(open->text(QAccessible::Name), "Open");
    EXPECT_EQ(open->text(QAccessible::Description), "Ctrl + O");
    open->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QApplication::processEvents();
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], buttons[0]);

    QAccessibleInterface* next = Of(buttons[1]);
    EXPECT_TRUE(next->state().disabled);
    next->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QApplication::processEvents();
    EXPECT_EQ(clicked.size(), 1u);
    // A caption stands in for a missing hint, without its accelerator mark.
    buttons[2]->setToolTip("");
    buttons[2]->SetCaption("&Setup");
    EXPECT_EQ(Of(buttons[2])->text(QAccessible::Name), "Setup");
    EXPECT_EQ(Of(buttons[2])->text(QAccessible::Description), "");
}

TEST_F(ToolbarAccessTest, KeyboardVisitsADockedToolbarAndBringsAFloatingOneHome) {
    QWidget* back = new QWidget(&form);
    back->setGeometry(0, 100, 100, 100);
    back->setFocusPolicy(Qt::StrongFocus);
    back->show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    back->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return back->hasFocus(); }));
    // Floating, a window that never takes the focus: docked first, in the
    // form's top dock as it names no default.
    ASSERT_TRUE(bar->isWindow());
    ASSERT_TRUE(tb97::ToggleKeyboardFocus(*bar, back));
    EXPECT_EQ(bar->DockedTo(), dock);
    EXPECT_TRUE(buttons[0]->hasFocus());
    ASSERT_TRUE(tb97::ToggleKeyboardFocus(*bar, back));
    EXPECT_TRUE(back->hasFocus());

    ASSERT_TRUE(tb97::ToggleKeyboardFocus(*bar, back));
    EXPECT_TRUE(buttons[0]->hasFocus());
    EXPECT_TRUE(tb97::TToolbarKeys::Of(*bar).Active());
    QTest::keyClick(buttons[0], Qt::Key_Right); // the disabled one is passed by
    EXPECT_TRUE(buttons[2]->hasFocus());
    QTest::keyClick(buttons[2], Qt::Key_Space);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], buttons[2]);
    QTest::keyClick(buttons[2], Qt::Key_Backtab);
    EXPECT_TRUE(back->hasFocus());
    EXPECT_FALSE(tb97::TToolbarKeys::Of(*bar).Active());
    // Out of the visit, the arrows are no longer taken.
    buttons[0]->setFocus();
    QTest::keyClick(buttons[0], Qt::Key_Right);
    EXPECT_TRUE(buttons[0]->hasFocus());

    // With every button disabled there is nothing to visit.
    for (TToolbarButton97* button : buttons) {
        button->setEnabled(false);
    }
    back->setFocus();
    EXPECT_FALSE(tb97::ToggleKeyboardFocus(*bar, back));
    EXPECT_TRUE(back->hasFocus());
}
