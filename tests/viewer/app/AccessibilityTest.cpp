// What a screen reader gets from the main window through QAccessible: the
// frame and its caption buttons, the docks and the toolbar with its buttons,
// the view and the status bar, and the toolbar reached by keyboard.

#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/FindDialog.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/explbtn/explbtn.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QKeyEvent>

namespace {

QAccessibleInterface* Of(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString Name(QAccessibleInterface* iface) {
    return iface->text(QAccessible::Name);
}

QAccessibleInterface* ChildNamed(QAccessibleInterface* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (QAccessibleInterface* child = parent->child(i); child && Name(child) == name) {
            return child;
        }
    }
    return nullptr;
}

void Press(QAccessibleInterface* iface) {
    ASSERT_NE(iface->actionInterface(), nullptr);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QApplication::processEvents(); // the press runs once the caller has returned
}

struct AccessibilityTest : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        Create();
        Show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
};

} // namespace

TEST_F(AccessibilityTest, WindowIsAFrameNamedByItsCaptionWithItsCaptionButtons) {
    QAccessibleInterface* frame = Of(window.get());
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(Name(frame), "qd's - Lumivane 98");

    QAccessibleInterface* minimize = ChildNamed(frame, "Minimize");
    QAccessibleInterface* maximize = ChildNamed(frame, "Maximize");
    QAccessibleInterface* close = ChildNamed(frame, "Close");
    ASSERT_TRUE(minimize && maximize && close);
    for (QAccessibleInterface* button : {minimize, maximize, close}) {
        EXPECT_EQ(button->role(), QAccessible::PushButton);
        EXPECT_EQ(button->parent(), frame);
        EXPECT_EQ(frame->child(frame->indexOfChild(button)), button);
        ASSERT_NE(button->actionInterface(), nullptr);
        EXPECT_EQ(button->actionInterface()->actionNames(),
                  QStringList{QAccessibleActionInterface::pressAction()});
        // In the caption bar: inside the window's top edge, above the client area.
        const QRect r = button->rect();
        const QRect outer(window->mapToGlobal(QPoint(0, 0)), window->size());
        EXPECT_TRUE(outer.contains(r)) << Name(button).toStdString();
        EXPECT_LT(r.bottom(), window->Dock971->mapToGlobal(QPoint(0, 0)).y());
        EXPECT_EQ(frame->childAt(r.center().x(), r.center().y()), button);
    }
    // Left to right, the close button two pixels further off.
    EXPECT_LT(minimize->rect().right(), maximize->rect().left());
    EXPECT_LT(maximize->rect().right() + 2, close->rect().left());
    EXPECT_EQ(minimize->rect().size(), close->rect().size());
}

TEST_F(AccessibilityTest, CaptionButtonsPressLikeAClick) {
    QAccessibleInterface* frame = Of(window.get());
    Press(ChildNamed(frame, "Maximize"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isMaximized(); }));
    // The same button, renamed for what it does now.
    ASSERT_NE(ChildNamed(frame, "Restore"), nullptr);
    EXPECT_EQ(ChildNamed(frame, "Maximize"), nullptr);
    Press(ChildNamed(frame, "Restore"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isMaximized(); }));

    Press(ChildNamed(frame, "Close"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
}

TEST_F(AccessibilityTest, ToolbarButtonsArePushButtonsNamedByTheirAction) {
    QAccessibleInterface* dock = Of(window->Dock971);
    EXPECT_EQ(dock->role(), QAccessible::Pane);
    QAccessibleInterface* bar = Of(window->Toolbar971);
    EXPECT_EQ(bar->role(), QAccessible::ToolBar);
    EXPECT_EQ(Name(bar), "Lumivane98");
    EXPECT_EQ(bar->parent(), dock);

    // Role, name, description: the toolbar's items as designed, left to right.
    const std::vector<std::tuple<QAccessible::Role, QString, QString>> expected = {
        {QAccessible::PushButton, "Open", "Ctrl + O"},
        {QAccessible::Separator, "", ""},
        {QAccessible::PushButton, "Save as RTF", "Ctrl + S"},
        {QAccessible::Separator, "", ""},
        {QAccessible::PushButton, "Find", "Ctrl + F"},
        {QAccessible::Separator, "", ""},
        {QAccessible::PushButton, "Find next", "F3"},
        {QAccessible::Separator, "", ""},
        {QAccessible::PushButton, "Copy", "Ctrl + C"},
        {QAccessible::Separator, "", ""},
        {QAccessible::PushButton, "Setup", ""},
        {QAccessible::Separator, "", ""},
        {QAccessible::PushButton, "About", ""},
    };
    ASSERT_EQ(bar->childCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < bar->childCount(); ++i) {
        QAccessibleInterface* item = bar->child(i);
        const auto& [role, name, description] = expected[static_cast<size_t>(i)];
        EXPECT_EQ(item->role(), role) << i;
        EXPECT_EQ(Name(item), name) << i;
        EXPECT_EQ(item->text(QAccessible::Description), description) << i;
        if (role == QAccessible::PushButton) {
            ASSERT_NE(item->actionInterface(), nullptr) << i;
            EXPECT_TRUE(item->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::pressAction()));
        }
    }
    EXPECT_TRUE(Of(window->tbFindNext)->state().disabled);
    EXPECT_FALSE(Of(window->tbFind)->state().disabled);
    EXPECT_EQ(Of(window->tbOpen)
                  ->actionInterface()
                  ->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
              QStringList{"Ctrl+O"});
    window->SetFindNextEnabled(true);
    EXPECT_FALSE(Of(window->tbFindNext)->state().disabled);
}

TEST_F(AccessibilityTest, PressingAToolbarButtonRunsItsCommand) {
    Press(Of(window->tbFind));
    EXPECT_TRUE(window->FindDialog1->isVisible());
    window->FindDialog1->close();

    // Disabled: the press does nothing (a search would report "not found").
    window->FindDialog1->SetFindText("no such text");
    Press(Of(window->tbFindNext));
    EXPECT_TRUE(messages.isEmpty());

    window->SourceView1->LoadFromBytes("alpha beta");
    window->SourceView1->SetSelection(0, 5);
    QApplication::clipboard()->setText("before");
    Press(Of(window->tbCopy));
    EXPECT_EQ(QApplication::clipboard()->text(), "alpha");
}

TEST_F(AccessibilityTest, ViewIsNamedAfterTheFileShown) {
    QAccessibleInterface* view = Of(window->SourceView1);
    EXPECT_EQ(view->role(), QAccessible::EditableText);
    EXPECT_EQ(Name(view), "qd's - Lumivane 98"); // no file yet: the window's title
    answer = QString::fromStdString(WriteFile("Shown.pas", Sample()));
    Run(&TfrmMain::tbOpenClick);
    EXPECT_EQ(Name(view), "Shown.pas");
}

// What it announces is read through the accessibility bus (e2e_accessibility.sh).
TEST_F(AccessibilityTest, StatusBarIsNamedByThePathItShows) {
    QAccessibleInterface* bar = Of(window->StatusBar);
    EXPECT_EQ(bar->role(), QAccessible::StatusBar);
    EXPECT_EQ(Name(bar), "");
    window->StatusBar->SetPanelText(0, "/src/a.pas");
    EXPECT_EQ(Name(bar), "/src/a.pas");
    EXPECT_EQ(bar->text(QAccessible::Value), "/src/a.pas");
    window->StatusBar->SetSimpleText("busy");
    EXPECT_EQ(Name(bar), "/src/a.pas"); // not shown until simple mode
    window->StatusBar->SetSimplePanel(true);
    EXPECT_EQ(Name(bar), "busy");
    window->StatusBar->SetSimplePanel(false);
    window->StatusBar->SetPanelCount(2);
    window->StatusBar->SetPanelText(1, "ready");
    EXPECT_EQ(Name(bar), "/src/a.pas ready");
}

TEST_F(AccessibilityTest, F10WalksTheToolbarAndReturnsToTheView) {
    window->SourceView1->setFocus();
    Key(Qt::Key_F10);
    EXPECT_EQ(QApplication::focusWidget(), window->tbOpen);
    Key(Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), window->tbSave);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right); // Find next is disabled: passed by
    EXPECT_EQ(QApplication::focusWidget(), window->tbCopy);
    Key(Qt::Key_End);
    EXPECT_EQ(QApplication::focusWidget(), window->ebAbout);
    Key(Qt::Key_Right); // round to the first
    EXPECT_EQ(QApplication::focusWidget(), window->tbOpen);
    Key(Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), window->ebAbout);
    Key(Qt::Key_Home);
    EXPECT_EQ(QApplication::focusWidget(), window->tbOpen);
    Key(Qt::Key_F10);
    EXPECT_EQ(QApplication::focusWidget(), window->SourceView1);

    Key(Qt::Key_F10);
    Key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->SourceView1);
    // Arrows in the view are the view's again.
    Key(Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), window->SourceView1);
}

TEST_F(AccessibilityTest, CtrlArrowsDockTheToolbarAtEachEdgeAndTheVisitGoesOn) {
    window->SourceView1->setFocus();
    Key(Qt::Key_F10);
    Key(Qt::Key_Right);
    ASSERT_EQ(QApplication::focusWidget(), window->tbSave);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(window->Toolbar971->DockedTo(), window->Dock972);
    EXPECT_EQ(QApplication::focusWidget(), window->tbSave);
    Key(Qt::Key_Down); // the arrows still walk the items
    EXPECT_EQ(QApplication::focusWidget(), window->tbFind);
    Key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(window->Toolbar971->DockedTo(), window->Dock974);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(window->Toolbar971->DockedTo(), window->Dock973);
    Key(Qt::Key_Right, Qt::ControlModifier); // already there: nothing changes
    EXPECT_EQ(window->Toolbar971->DockedTo(), window->Dock973);
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(window->Toolbar971->DockedTo(), window->Dock971);
    EXPECT_EQ(QApplication::focusWidget(), window->tbFind);
    Key(Qt::Key_F10);
    EXPECT_EQ(QApplication::focusWidget(), window->SourceView1);
    // Outside the visit Ctrl and an arrow are the view's.
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(window->Toolbar971->DockedTo(), window->Dock971);
}

TEST_F(AccessibilityTest, F10BringsAFloatingToolbarHomeAndEntersIt) {
    window->Toolbar971->SetDockedTo(nullptr);
    ASSERT_TRUE(window->Toolbar971->isWindow());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->SourceView1->setFocus();
    Key(Qt::Key_F10);
    EXPECT_EQ(window->Toolbar971->DockedTo(), window->Dock971);
    EXPECT_EQ(QApplication::focusWidget(), window->tbOpen);
    Key(Qt::Key_F10);
    EXPECT_EQ(QApplication::focusWidget(), window->SourceView1);
}

TEST_F(AccessibilityTest, EnterPressesTheFocusedButtonAndEscapeStillEnds) {
    window->SourceView1->setFocus();
    Key(Qt::Key_F10);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right); // Find
    ASSERT_EQ(QApplication::focusWidget(), window->tbFind);
    Key(Qt::Key_Return);
    EXPECT_TRUE(window->FindDialog1->isVisible());
    window->FindDialog1->close();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // A dialog in between does not end the visit.
    EXPECT_EQ(QApplication::focusWidget(), window->tbFind);
    Key(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
}

TEST_F(AccessibilityTest, FocusFrameShowsOnlyWhileTheKeyboardIsInTheToolbar) {
    window->SourceView1->setFocus();
    const QImage rest = window->tbOpen->grab().toImage();
    Key(Qt::Key_F10);
    const QImage focused = window->tbOpen->grab().toImage();
    EXPECT_NE(rest, focused);
    // The frame stays inside the button's bevel: the outer three pixels as before.
    for (int x = 0; x < rest.width(); ++x) {
        EXPECT_EQ(rest.pixel(x, 0), focused.pixel(x, 0));
        EXPECT_EQ(rest.pixel(x, 2), focused.pixel(x, 2));
    }
    Key(Qt::Key_F10);
    EXPECT_EQ(window->tbOpen->grab().toImage(), rest);
    // A click in the view ends the visit: no frame is left behind.
    Key(Qt::Key_F10);
    QTest::mouseClick(window->SourceView1->viewport(), Qt::LeftButton);
    EXPECT_EQ(window->tbOpen->grab().toImage(), rest);
}
