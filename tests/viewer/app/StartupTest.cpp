// The command-line file: converted on the runner's worker when the window is
// first shown.

#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/text/PathRoutines.h"

#include <QPalette>
#include <sys/stat.h>

namespace {

struct StartupTest : WindowTest {
    // A source big enough that its conversion is still under way when the
    // test acts.
    std::string BigSource(const QString& name, int copies) {
        const QByteArray sample = Sample();
        QByteArray text;
        text.reserve(sample.size() * copies);
        for (int i = 0; i < copies; ++i) {
            text += sample;
        }
        return WriteFile(name, text);
    }
    bool WaitForFilledView() {
        return QTest::qWaitFor(
            [&] {
                return window->ThreadComp1->State() == TRunnerState::rsIdle &&
                       !ViewText().isEmpty();
            },
            20000);
    }
};

TEST_F(StartupTest, TheFileIsConvertedOnTheWorkerAndTheViewTakesTheBackgroundColour) {
    TRegistry().OpenKey("Software\\QD\\Lumivane\\Pascal", true);
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true));
        registry.WriteString("clBGround", "clYellow");
    }
    const std::string file = WriteFile("main.pas", Sample());
    Create({file, "ignored"});
    EXPECT_TRUE(window->StatusBar->PanelText(0).isEmpty());
    Show();
    // As typed, until the first resize.
    EXPECT_EQ(window->StatusBar->PanelText(0).toStdString(), file);
    EXPECT_EQ(SourceFileName, file);
    ASSERT_TRUE(WaitForFilledView());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_TRUE(ViewText().contains("unit Sample;"));
    EXPECT_EQ(ColourOf("Sample unit shipped"), QColor(0, 0, 128));
    EXPECT_EQ(window->SourceView1->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_TRUE(HasDefaultCursor()); // the busy cursor is gone
    EXPECT_TRUE(window->SourceView1->viewport()->updatesEnabled());
    EXPECT_EQ(window->ThreadComp1->Thread(), nullptr);

    // A later open keeps that background.
    answer = QString::fromStdString(WriteFile("other.txt", "plain"));
    window->tbOpenClick();
    EXPECT_EQ(ViewText(), "plain");
    EXPECT_EQ(window->SourceView1->palette().color(QPalette::Base), QColor(255, 255, 0));
}

TEST_F(StartupTest, AFileThatIsNotSourceIsReportedOnTheGuiThread) {
    const std::string file = WriteFile("letter.rtf", "{\\rtf1 Hi\\par}");
    Create({file});
    Show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 10000));
    ASSERT_TRUE(WaitForIdleRunner());
    EXPECT_EQ(errors, QStringList({"Unknown file extension"}));
    EXPECT_TRUE(ViewText().isEmpty());
    EXPECT_TRUE(HasDefaultCursor());
    EXPECT_TRUE(window->SourceView1->viewport()->updatesEnabled());
    // The program goes on: an open still works.
    answer = QString::fromStdString(WriteFile("ok.pas", "begin end."));
    window->tbOpenClick();
    EXPECT_TRUE(ViewText().contains("begin end."));
}

TEST_F(StartupTest, AFreePascalFileOnTheCommandLineIsShownConverted) {
    Create({WriteFile("types.pp", Sample())});
    Show();
    ASSERT_TRUE(WaitForFilledView());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(ColourOf("Sample unit shipped"), QColor(0, 0, 128));
}

TEST_F(StartupTest, AMissingFileIsReportedAndTheViewStaysEmpty) {
    Create({Path("absent.pas")});
    Show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 10000));
    ASSERT_TRUE(WaitForIdleRunner());
    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("absent.pas")) << errors[0].toStdString();
    EXPECT_TRUE(ViewText().isEmpty());
    // The status shows the name as typed all the same.
    EXPECT_EQ(window->StatusBar->PanelText(0).toStdString(), Path("absent.pas"));
}

// A pipe on the command line would hold the worker forever, and the window
// waits for its worker when it closes.
TEST_F(StartupTest, APipeIsReportedAndTheWindowStillCloses) {
    ASSERT_EQ(mkfifo(Path("pipe.pas").c_str(), 0600), 0);
    Create({Path("pipe.pas")});
    Show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 10000));
    ASSERT_TRUE(WaitForIdleRunner());
    EXPECT_TRUE(errors[0].contains("not a regular file")) << errors[0].toStdString();
    EXPECT_TRUE(HasDefaultCursor());
    window.reset();
}

// What the user sees the moment the open returns: the chosen file, in a view
// that repaints and a window without the busy cursor, while the abandoned
// conversion winds down behind it.
TEST_F(StartupTest, AnOpenDuringTheConversionWins) {
    Create({BigSource("big.pas", 10000)}); // some 10 MB: stopped long before its end
    Show();
    // The worker holds the view while it converts.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !window->SourceView1->viewport()->updatesEnabled(); }));
    ASSERT_EQ(window->ThreadComp1->State(), TRunnerState::rsRunning);
    answer = QString::fromStdString(WriteFile("chosen.txt", "the chosen file"));
    window->tbOpenClick();
    EXPECT_TRUE(window->SourceView1->viewport()->updatesEnabled());
    EXPECT_TRUE(HasDefaultCursor());
    EXPECT_EQ(ViewText(), "the chosen file");
    EXPECT_EQ(window->StatusBar->PanelText(0).toStdString(), ExpandLongPath(answer.toStdString()));

    // The view repaints at the next turn of the loop.
    struct TPaintSeen : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            seen = seen || event->type() == QEvent::Paint;
            return false;
        }
    } paint;
    window->SourceView1->viewport()->installEventFilter(&paint);
    window->SourceView1->viewport()->update();
    QApplication::processEvents();
    EXPECT_TRUE(paint.seen);
    window->SourceView1->viewport()->removeEventFilter(&paint);

    ASSERT_TRUE(WaitForIdleRunner());
    QTest::qWait(20);
    EXPECT_EQ(ViewText(), "the chosen file");
    EXPECT_EQ(SourceFileName, answer.toStdString());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString(); // the stop is quiet
    EXPECT_TRUE(HasDefaultCursor());
    EXPECT_TRUE(window->SourceView1->viewport()->updatesEnabled());
}

// An open that fails changes nothing, the start-up conversion included: it
// goes on and shows its file, which the status bar names.
TEST_F(StartupTest, AFailedOpenDuringTheConversionLeavesItAlone) {
    const std::string big = BigSource("big.pas", 3000);
    Create({big});
    Show();
    ASSERT_EQ(window->ThreadComp1->State(), TRunnerState::rsRunning);
    answer = dir.filePath("missing.txt");
    Run(&TfrmMain::tbOpenClick);
    EXPECT_EQ(errors.size(), 1);
    ASSERT_TRUE(WaitForFilledView());
    EXPECT_TRUE(ViewText().startsWith(QString::fromLatin1(Sample().left(20))));
    EXPECT_EQ(SourceFileName, big);
    EXPECT_TRUE(HasDefaultCursor());
}

TEST_F(StartupTest, ClosingDuringTheConversionEndsCleanly) {
    Create({BigSource("big.pas", 3000)});
    Show();
    QTest::qWait(5);
    window->close();
    window.reset(); // waits for the worker, which can no longer reach the window
    EXPECT_EQ(frmMain, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(StartupTest, TheRunnerStartsOnceOnly) {
    const std::string file = WriteFile("once.pas", "begin end.");
    Create({file});
    Show();
    ASSERT_TRUE(WaitForFilledView());
    window->SourceView1->LoadFromBytes("replaced");
    window->hide();
    window->show(); // a second showing converts nothing
    QTest::qWait(50);
    EXPECT_EQ(ViewText(), "replaced");
}

} // namespace
