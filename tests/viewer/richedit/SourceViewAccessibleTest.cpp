// What a screen reader gets from the view through QAccessible: text, count,
// caret, selection and the attributes of each run.

#include "viewer/RichEdit.h"

#include <QAccessible>
#include <QApplication>
#include <gtest/gtest.h>
#include <string>

namespace {

const std::string kProgram =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier New;}}{\\colortbl"
    "\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;"
    "\\red0\\green0\\blue128;\\red255\\green0\\blue255;\\red0\\green128\\blue0;"
    "\\red0\\green0\\blue0;}\\deflang1031\\pard\\plain\\f0\\fs18\\cf0"
    "{\\cf6\\b begin}\r\\par   s := {\\cf2 'x'}; {\\cf3\\i \\{ note \\}}\r\\par {\\cf6\\b "
    "end}.\\par }";
// "begin\n  s := 'x'; { note }\nend."

struct Accessible : ::testing::Test {
    TRichEdit view;
    QAccessibleInterface* iface = nullptr;
    QAccessibleTextInterface* text = nullptr;
    void SetUp() override {
        view.resize(300, 200);
        view.show();
        view.LoadFromBytes(kProgram);
        iface = QAccessible::queryAccessibleInterface(&view);
        ASSERT_NE(iface, nullptr);
        text = iface->textInterface();
        ASSERT_NE(text, nullptr);
    }
    QString Attributes(int offset, int* start, int* end) const {
        return text->attributes(offset, start, end);
    }
};

TEST_F(Accessible, RoleStateTextAndCount) {
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_TRUE(iface->state().readOnly);
    EXPECT_TRUE(iface->state().multiLine);
    EXPECT_EQ(text->characterCount(), 31);
    EXPECT_EQ(text->text(0, 5), "begin");
    EXPECT_EQ(text->text(0, 31), "begin\n  s := 'x'; { note }\nend.");
    EXPECT_EQ(text->text(25, 1000), "}\nend.");
    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(8, QAccessible::LineBoundary, &start, &end),
              "  s := 'x'; { note }\n");
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 27);
    EXPECT_EQ(text->textAtOffset(2, QAccessible::WordBoundary, &start, &end), "begin");
    EXPECT_EQ(text->textAfterOffset(2, QAccessible::LineBoundary, &start, &end),
              "  s := 'x'; { note }\n");
    EXPECT_EQ(text->textBeforeOffset(27, QAccessible::LineBoundary, &start, &end),
              "  s := 'x'; { note }\n");
    EXPECT_EQ(text->textBeforeOffset(1, QAccessible::LineBoundary, &start, &end), "");
    // A new document is what is read next.
    view.LoadFromBytes("other");
    EXPECT_EQ(text->characterCount(), 5);
    EXPECT_EQ(text->text(0, 5), "other");
}

TEST_F(Accessible, CaretAndSelectionBothWays) {
    view.SetSelStart(6);
    EXPECT_EQ(text->cursorPosition(), 6);
    EXPECT_EQ(text->selectionCount(), 0);
    view.SetSelLength(4);
    ASSERT_EQ(text->selectionCount(), 1);
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 10);
    // Set through the interface, seen by the view.
    text->setSelection(0, 0, 5);
    EXPECT_EQ(view.SelText(), "begin");
    text->removeSelection(0);
    EXPECT_EQ(view.SelLength(), 0);
    text->setCursorPosition(27);
    EXPECT_EQ(view.CaretPosition(), 27);
    text->addSelection(31, 23);
    EXPECT_EQ(view.SelText(), "e }\nend.");
}

TEST_F(Accessible, EachRunsColourWeightAndStyle) {
    int start = 0;
    int end = 0;
    const QString keyword = Attributes(2, &start, &end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 5);
    EXPECT_TRUE(keyword.contains("font-weight:700")) << keyword.toStdString();
    EXPECT_TRUE(keyword.contains("font-style:normal")) << keyword.toStdString();
    EXPECT_TRUE(keyword.contains("color:rgb(0,0,0)")) << keyword.toStdString();
    EXPECT_TRUE(keyword.contains("font-size:9pt")) << keyword.toStdString();

    const QString string = Attributes(14, &start, &end); // 'x'
    EXPECT_EQ(start, 13);
    EXPECT_EQ(end, 16);
    EXPECT_TRUE(string.contains("color:rgb(255,0,0)")) << string.toStdString();
    EXPECT_TRUE(string.contains("font-weight:400")) << string.toStdString();

    const QString comment = Attributes(20, &start, &end); // { note }
    EXPECT_EQ(start, 18);
    EXPECT_EQ(end, 26);
    EXPECT_TRUE(comment.contains("font-style:italic")) << comment.toStdString();
    EXPECT_TRUE(comment.contains("color:rgb(0,0,128)")) << comment.toStdString();

    EXPECT_TRUE(Attributes(-1, &start, &end).isEmpty());
    EXPECT_TRUE(Attributes(31, &start, &end).isEmpty());
    EXPECT_FALSE(Attributes(30, &start, &end).isEmpty());
}

TEST_F(Accessible, CharacterRectanglesAndOffsetsAgree) {
    const QRect b = text->characterRect(0);
    const QRect e = text->characterRect(1);
    EXPECT_GT(b.width(), 0);
    EXPECT_EQ(e.left(), b.right() + 1);
    EXPECT_EQ(text->offsetAtPoint(e.center()), 1);
    const QRect line2 = text->characterRect(27);
    EXPECT_GT(line2.top(), b.bottom());
    EXPECT_EQ(text->offsetAtPoint(QPoint(-10000, -10000)), -1);
}

} // namespace
