// The file on show followed on disk: F5 reloads it by hand, a change made by
// another program reloads it by itself, a file that goes is said to be gone
// until it comes back; the reader's place is kept.

#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/FileLoader.h"
#include "viewer/StatusIndicator.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <cstdio>
#include <sys/stat.h>

namespace {

struct ReloadTest : WindowTest {
    // LINES numbered lines, each starting with WORD.
    static QByteArray Lines(const char* word, int lines) {
        QByteArray text;
        for (int i = 1; i <= lines; ++i) {
            text += word + QByteArray(" line ") + QByteArray::number(i) + "\n";
        }
        return text;
    }
    // As editors save: a new file renamed over the old one.
    void SaveByRename(const QString& name, const QByteArray& content) {
        WriteFile(name + ".new", content);
        ASSERT_EQ(std::rename(Path(name + ".new").c_str(), Path(name).c_str()), 0);
    }
    void PressF5() {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
        QApplication::sendEvent(window->SourceView1, &key);
    }
    int CaretLine() const {
        const auto& lines = window->SourceView1->Document().Lines;
        return static_cast<int>(
            lines.LineOf(static_cast<std::uint32_t>(window->SourceView1->CaretPosition())));
    }
    QString Note() const { return window->Loader().Indicator().Note(); }
    void OpenFile(const std::string& file) {
        answer = QString::fromStdString(file);
        window->tbOpenClick();
        ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }
};

TEST_F(ReloadTest, F5ReloadsAndKeepsTheCaretLineAndTheFirstLineShown) {
    const std::string file = WriteFile("notes.txt", Lines("old", 300));
    Create();
    Show();
    OpenFile(file);
    // Line 120 (0-based 119), column 4; the view scrolled to line 100.
    const auto& lines = window->SourceView1->Document().Lines;
    window->SourceView1->SetSelStart(static_cast<int>(lines.Start(119)) + 4);
    window->SourceView1->verticalScrollBar()->setValue(100);

    WriteFile("notes.txt", Lines("new", 300));
    PressF5();
    EXPECT_TRUE(ViewText().startsWith("new line 1\n"));
    EXPECT_EQ(CaretLine(), 119);
    EXPECT_EQ(window->SourceView1->CaretPosition(),
              static_cast<int>(window->SourceView1->Document().Lines.Start(119)) + 4);
    EXPECT_EQ(window->SourceView1->TopLine(), 100);

    // A file grown shorter: the caret goes to its last line.
    WriteFile("notes.txt", Lines("short", 10));
    PressF5();
    EXPECT_EQ(ViewText(), QString(Lines("short", 10)));
    EXPECT_EQ(CaretLine(), 10); // the empty line after the last line end
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ReloadTest, AFileSavedByAnotherProgramIsReloadedWithinASecond) {
    const std::string file = WriteFile("unit1.pas", "begin { first } end.");
    Create();
    Show();
    OpenFile(file);
    // Written in place, then saved as editors do.
    WriteFile("unit1.pas", "begin { second } end.");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ViewText().contains("second"); }, 1000));
    SaveByRename("unit1.pas", "begin { third } end.");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ViewText().contains("third"); }, 1000));
    EXPECT_EQ(ColourOf("third"), QColor(0, 0, 128)); // converted, as the open converted it
    // Another file in the folder changing is no reason to reload.
    const int before = window->SourceView1->CaretPosition();
    window->SourceView1->SetSelStart(3);
    WriteFile("other.txt", "x");
    QTest::qWait(400);
    EXPECT_EQ(window->SourceView1->CaretPosition(), 3) << before;
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ReloadTest, AFileThatGoesIsSaidToBeGoneUntilItComesBack) {
    const std::string file = WriteFile("gone.txt", "still shown");
    Create();
    Show();
    OpenFile(file);
    const QString status = window->StatusBar->PanelText(0);
    ASSERT_EQ(std::remove(file.c_str()), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Note().isEmpty(); }, 1000));
    EXPECT_EQ(Note(), TFileLoader::kGoneNote);
    EXPECT_EQ(ViewText(), "still shown");
    window->resize(window->width() + 40, window->height()); // a resize keeps the note
    QTest::qWait(50);
    EXPECT_EQ(Note(), TFileLoader::kGoneNote);

    WriteFile("gone.txt", "back again");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ViewText() == "back again"; }, 1500));
    EXPECT_TRUE(Note().isEmpty());
    EXPECT_EQ(window->StatusBar->PanelText(0), status);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// What the open command would say of the file now; the view stays.
TEST_F(ReloadTest, AReloadThatCannotReadTheFileKeepsTheView) {
    const std::string file = WriteFile("data.txt", "readable");
    Create();
    Show();
    OpenFile(file);
    ASSERT_EQ(std::remove(file.c_str()), 0);
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 1500));
    EXPECT_TRUE(errors[0].contains("not a regular file")) << errors[0].toStdString();
    EXPECT_EQ(ViewText(), "readable");
    EXPECT_EQ(SourceFileName, file);
    QTest::qWait(300);
    EXPECT_EQ(errors.size(), 1); // said once, not again at every look
    errors.clear();
}

// A change while the start-up conversion runs waits for it, then shows.
TEST_F(ReloadTest, AChangeDuringTheStartUpConversionIsReloadedAfterIt) {
    QByteArray big;
    while (big.size() < (8 << 20)) {
        big += "x := 'abc' + 12; { note } if a then b := c;\n";
    }
    const std::string file = WriteFile("start.pas", big);
    Create({file});
    Show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Loader().Busy(); }));
    WriteFile("start.pas", "begin { changed meanwhile } end.");
    ASSERT_TRUE(WaitForIdleRunner());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ViewText().contains("changed meanwhile"); }, 2000));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ReloadTest, F5WithoutAFileDoesNothing) {
    Create();
    Show();
    window->SourceView1->LoadFromBytes("kept");
    PressF5();
    EXPECT_EQ(ViewText(), "kept");
    EXPECT_TRUE(errors.isEmpty());
}

} // namespace
