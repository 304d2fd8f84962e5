// Where the start-up conversion stands, seen from the window: each way through
// the handshake between its worker and the GUI thread ends with the view and
// the cursor given back exactly once.

#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/StartupConversion.h"

#include <QPalette>

namespace {

using TState = TStartupConversion::TState;

struct StartupStateTest : WindowTest {
    TState State() const { return window->Startup().State(); }
    bool ViewLive() const { return window->SourceView1->viewport()->updatesEnabled(); }
    std::string BigSource(int copies) {
        const QByteArray sample = Sample();
        QByteArray text;
        text.reserve(sample.size() * copies);
        for (int i = 0; i < copies; ++i) {
            text += sample;
        }
        return WriteFile("big.pas", text);
    }
    // Once the superseded worker has ended: the opened file, in the colours
    // it was opened with, and a live view.
    void ExpectTheChosenFileAlone(const QColor& background) {
        ASSERT_TRUE(WaitForIdleRunner());
        QApplication::processEvents();
        EXPECT_EQ(State(), TState::kSuperseded);
        EXPECT_EQ(ViewText(), "the chosen file");
        EXPECT_EQ(window->SourceView1->palette().color(QPalette::Base), background);
        EXPECT_TRUE(ViewLive());
        EXPECT_TRUE(HasDefaultCursor());
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }
    void StoreYellowBackground() {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", true));
        registry.WriteString("clBGround", "clYellow");
    }
};

TEST_F(StartupStateTest, WithoutAFileNothingBegins) {
    Create();
    Show();
    QTest::qWait(20);
    EXPECT_EQ(State(), TState::kIdle);
    EXPECT_FALSE(window->Startup().Busy());
    EXPECT_TRUE(ViewLive());
}

TEST_F(StartupStateTest, ASuccessAndAFailureBothEndDone) {
    Create({WriteFile("ok.pas", "begin end.")});
    Show();
    ASSERT_TRUE(WaitForIdleRunner());
    EXPECT_EQ(State(), TState::kDone);
    EXPECT_TRUE(ViewText().contains("begin end."));

    window.reset();
    Create({Path("absent.pas")});
    Show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 10000));
    ASSERT_TRUE(WaitForIdleRunner());
    EXPECT_EQ(State(), TState::kDone);
    EXPECT_TRUE(ViewLive());
    EXPECT_TRUE(HasDefaultCursor());
}

// The worker is held at its start, an open takes the view, then the worker
// is let go: it must not touch the view at all.
TEST_F(StartupStateTest, AnOpenBeforeTheWorkerBeginsKeepsItOffTheView) {
    StoreYellowBackground();
    Create({WriteFile("first.pas", "begin end.")});
    window->ThreadComp1->StartSuspended = true;
    Show();
    ASSERT_EQ(window->ThreadComp1->State(), TRunnerState::rsSuspended);
    const QColor background = window->SourceView1->palette().color(QPalette::Base);
    answer = QString::fromStdString(WriteFile("chosen.txt", "the chosen file"));
    window->tbOpenClick();
    EXPECT_EQ(State(), TState::kSuperseded);

    window->ThreadComp1->Command(TThreadCommand::tcRun);
    ExpectTheChosenFileAlone(background);
}

// Superseded while the engine still writes: the conversion's later steps,
// its background colour among them, never reach the view.
TEST_F(StartupStateTest, AnOpenWhileTheEngineWritesStopsItsLaterSteps) {
    StoreYellowBackground();
    Create({BigSource(20000)});
    Show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ViewLive(); }));
    ASSERT_EQ(State(), TState::kConverting);
    EXPECT_TRUE(window->Startup().Busy());
    // Held at its next step on the window, however fast the engine is.
    window->ThreadComp1->Command(TThreadCommand::tcSuspend);
    const QColor background = window->SourceView1->palette().color(QPalette::Base);
    answer = QString::fromStdString(WriteFile("chosen.txt", "the chosen file"));
    window->tbOpenClick();
    EXPECT_EQ(State(), TState::kSuperseded);
    EXPECT_TRUE(ViewLive());
    window->ThreadComp1->Command(TThreadCommand::tcRun);

    ExpectTheChosenFileAlone(background);
}

} // namespace
