// The main window's reading commands on the real window: their keys and popup
// items, zoom and line numbers kept in the settings store, and the go-to dialog.

#include "viewer/ViewCommands.h"

#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/GoToLineDialog.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <filesystem>

namespace {

constexpr const char* kView = "Software\\QD\\Lumivane\\View";

struct ViewCommandsTest : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        Install();
    }
    // The product key, as the install step makes it.
    static void Install() {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane", true));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers) {
        window->SourceView1->setFocus();
        QTest::keyClick(window->SourceView1, static_cast<Qt::Key>(key), modifiers);
    }
    // The stored integer NAME under View, or -1 when there is none.
    int Stored(const char* name) {
        TRegistry registry;
        if (!registry.OpenKey(kView, false) || !registry.ValueExists(name)) {
            return -1;
        }
        EXPECT_EQ(registry.GetDataType(name), TRegDataType::kDWord);
        return registry.ReadInteger(name);
    }
    // A file of LINES lines "line 1" ... shown in the view.
    void ShowLines(int lines) {
        QByteArray text;
        for (int i = 1; i <= lines; ++i) {
            text += "line " + QByteArray::number(i) + "\n";
        }
        window->SourceView1->LoadFromBytes(text.toStdString());
    }
};

TEST_F(ViewCommandsTest, PopupItemsFollowTheDesignedOnesBehindASeparator) {
    Create();
    QStringList items;
    for (QAction* item : window->pm1->actions()) {
        items << (item->isSeparator() ? "-" : item->text());
    }
    EXPECT_EQ(items, QStringList({"Find", "Find next", "Copy", "-", "Exit", "-", "Print...",
                                  "Go to line...", "Line numbers"}));
    EXPECT_TRUE(window->ViewCommands->miLineNumbers->isCheckable());
    EXPECT_FALSE(window->ViewCommands->miLineNumbers->isChecked());
    EXPECT_FALSE(window->ViewCommands->miPrint->isCheckable());
    // The menu's items as a screen reader reads them, the check item's state too.
    window->ViewCommands->miLineNumbers->setChecked(true);
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(window->pm1);
    ASSERT_NE(menu, nullptr);
    QStringList names;
    bool checked = false;
    for (int i = 0; i < menu->childCount(); ++i) {
        QAccessibleInterface* item = menu->child(i);
        names << item->text(QAccessible::Name);
        if (item->text(QAccessible::Name) == "Line numbers") {
            checked = item->state().checkable && item->state().checked;
        }
    }
    EXPECT_TRUE(names.contains("Print...")) << names.join(",").toStdString();
    EXPECT_TRUE(names.contains("Go to line..."));
    EXPECT_TRUE(checked);
}

TEST_F(ViewCommandsTest, ZoomKeysStepWithinLimitsAndAreStored) {
    Create();
    Show();
    TRichEdit& view = *window->SourceView1;
    EXPECT_EQ(view.Zoom(), 100);
    EXPECT_EQ(Stored("Zoom"), -1);                              // nothing written before a change
    Key(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier); // Ctrl and the shifted "+"
    EXPECT_EQ(view.Zoom(), 110);
    Key(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(view.Zoom(), 125);
    Key(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(view.Zoom(), 150);
    EXPECT_EQ(Stored("Zoom"), 150);
    Key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(view.Zoom(), 125);
    Key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(view.Zoom(), 100);
    EXPECT_EQ(Stored("Zoom"), 100);
    // Other modifiers leave it alone.
    Key(Qt::Key_Minus, Qt::ControlModifier | Qt::AltModifier);
    Key(Qt::Key_Equal, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_Minus, Qt::NoModifier);
    EXPECT_EQ(view.Zoom(), 100);
    // From 100 down: 90, 80, 75, 67, 50, then it stays.
    for (int expected : {90, 80, 75, 67, 50, 50}) {
        Key(Qt::Key_Minus, Qt::ControlModifier);
        EXPECT_EQ(view.Zoom(), expected);
    }
    for (int i = 0; i < 20; ++i) {
        Key(Qt::Key_Equal, Qt::ControlModifier);
    }
    EXPECT_EQ(view.Zoom(), 400);
    EXPECT_EQ(Stored("Zoom"), 400);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ViewCommandsTest, NotInstalledTheViewChangesButNothingIsStored) {
    std::filesystem::remove(Path("user.reg"));
    Create();
    Show();
    Key(Qt::Key_Equal, Qt::ControlModifier);
    window->ViewCommands->miLineNumbers->trigger();
    EXPECT_EQ(window->SourceView1->Zoom(), 110);
    EXPECT_TRUE(window->SourceView1->LineNumbers());
    // The install check must still fail: no key was made on the way.
    EXPECT_FALSE(TRegistry().KeyExists("Software\\QD\\Lumivane"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ViewCommandsTest, ZoomAndLineNumbersComeBackAtStart) {
    StoreInteger(kView, "Zoom", 175);
    StoreInteger(kView, "LineNumbers", 1);
    Create();
    EXPECT_EQ(window->SourceView1->Zoom(), 175);
    EXPECT_TRUE(window->SourceView1->LineNumbers());
    EXPECT_TRUE(window->ViewCommands->miLineNumbers->isChecked());
    window.reset();
    // Out of range: the nearest limit.
    StoreInteger(kView, "Zoom", 1000);
    StoreInteger(kView, "LineNumbers", 0);
    Create();
    EXPECT_EQ(window->SourceView1->Zoom(), 400);
    EXPECT_FALSE(window->SourceView1->LineNumbers());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ViewCommandsTest, AZoomOfTheWrongTypeIsReportedAndTheRestStillApplies) {
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kView, true));
        registry.WriteString("Zoom", "big");
        registry.WriteInteger("LineNumbers", 1);
    }
    Create();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("Zoom")) << errors[0].toStdString();
    EXPECT_EQ(window->SourceView1->Zoom(), 100);
    EXPECT_TRUE(window->SourceView1->LineNumbers());
    errors.clear();
}

TEST_F(ViewCommandsTest, LineNumbersItemTogglesTheGutterAndIsStored) {
    Create();
    Show();
    ShowLines(20);
    QAction* item = window->ViewCommands->miLineNumbers;
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(window->SourceView1->LineNumbers());
    EXPECT_GT(window->SourceView1->GutterWidth(), 0);
    EXPECT_EQ(Stored("LineNumbers"), 1);
    const QString text = ViewText();
    item->trigger();
    EXPECT_FALSE(window->SourceView1->LineNumbers());
    EXPECT_EQ(window->SourceView1->GutterWidth(), 0);
    EXPECT_EQ(Stored("LineNumbers"), 0);
    EXPECT_EQ(ViewText(), text);
}

TEST_F(ViewCommandsTest, CtrlGGoesToTheLineTypedNearTheMiddle) {
    Create();
    Show();
    ShowLines(400);
    // 400 lines and the empty one after the last line break.
    std::vector<QString> entries = {"abc", "0", "402", " 250 "};
    QStringList shownMessages;
    int opened = 0;
    window->ViewCommands->ExecuteGoToDialog = [&](TGoToLineDialog& dialog) {
        ++opened;
        EXPECT_EQ(dialog.windowTitle(), "Go to line");
        EXPECT_EQ(dialog.Edit()->accessibleName(), "Line number");
        // Each bad entry keeps the dialog open with a message.
        for (const QString& entry : entries) {
            dialog.Edit()->setText(entry);
            dialog.accept();
            if (dialog.result() == QDialog::Accepted) {
                return true;
            }
            EXPECT_FALSE(dialog.Message()->isHidden());
            shownMessages << dialog.Message()->text();
        }
        return false;
    };
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(opened, 1);
    ASSERT_EQ(shownMessages.size(), 3);
    EXPECT_TRUE(shownMessages[0].contains("from 1 to 401")) << shownMessages[0].toStdString();
    // Lines "line 1".."line 9" take 7 characters and a break, 10..99 take 8, 100..249 take 9.
    const int start = 9 * 7 + 90 * 8 + 150 * 9;
    EXPECT_EQ(window->SourceView1->SelStart(), start);
    EXPECT_EQ(window->SourceView1->SelLength(), 0);
    EXPECT_EQ(window->SourceView1->Text(start, start + 8), "line 250");
    const int top = window->SourceView1->TopLine();
    const int rows =
        window->SourceView1->viewport()->height() / window->SourceView1->cursorRect().height();
    EXPECT_NEAR(top, 249 - rows / 2, 1);
    // Cancel moves nothing; the popup item opens the same dialog.
    entries = {};
    window->SourceView1->SetSelStart(3);
    window->ViewCommands->miGoToLine->trigger();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(window->SourceView1->SelStart(), 3);
}

TEST_F(ViewCommandsTest, TheGoToDialogIsNamedAndKeyboardReachable) {
    Create();
    TGoToLineDialog dialog(window.get(), 57);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.Edit()->hasFocus());
    const auto buttons = dialog.findChildren<QPushButton*>();
    QStringList names;
    for (const QPushButton* button : buttons) {
        names << button->accessibleName();
    }
    names.sort();
    EXPECT_EQ(names, QStringList({"Cancel", "OK"}));
    const auto labels = dialog.findChildren<QLabel*>();
    bool buddy = false;
    for (const QLabel* label : labels) {
        buddy = buddy || (label->buddy() == dialog.Edit() && label->text().contains("57"));
    }
    EXPECT_TRUE(buddy);
    // What a screen reader is told.
    QAccessibleInterface* edit = QAccessible::queryAccessibleInterface(dialog.Edit());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(QAccessible::Name), "Line number");
    EXPECT_EQ(edit->role(), QAccessible::EditableText);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->text(QAccessible::Name), "Go to line");
    // Typed and Enter: accepted.
    QTest::keyClicks(dialog.Edit(), "12");
    QTest::keyClick(dialog.Edit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Line(), 12);
}

} // namespace
