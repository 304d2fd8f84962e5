#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/qdStatusBar.h"

#include <QApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A column of the bar's picture.
QImage Column(const QImage& image, int x) {
    return image.copy(x, 0, 1, image.height());
}

// The bar as the window shows it: what the window's backing store holds,
// not a fresh rendering.
QImage OnScreen(const QWidget& bar) {
    const QPoint at = bar.mapTo(bar.window(), QPoint(0, 0));
    return bar.screen()
        ->grabWindow(bar.window()->winId(), at.x(), at.y(), bar.width(), bar.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Collects the regions the bar is asked to paint.
class TPaintRecorder : public QObject {
public:
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
};

struct StatusBarTest : ::testing::Test {
    QWidget host;
    TqdStatusBar98* bar = new TqdStatusBar98(&host);
    TPaintRecorder recorder;

    void SetUp() override {
        host.resize(600, 100);
        bar->setGeometry(0, 50, 400, 19);
        bar->SetPanelText(0, "/home/user/src/main.pas");
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        Settle();
        bar->installEventFilter(&recorder);
    }
    void Settle() {
        QApplication::processEvents();
        QApplication::processEvents();
    }
    QRegion PaintedAfter(const std::function<void()>& change) {
        recorder.painted = QRegion();
        change();
        Settle();
        return recorder.painted;
    }
};

TEST_F(StatusBarTest, DefaultsAndThePanel) {
    TqdStatusBar98 fresh;
    EXPECT_FALSE(fresh.FullRepaint);
    EXPECT_TRUE(fresh.EraseBackground);
    EXPECT_TRUE(fresh.SizeGrip());
    EXPECT_FALSE(fresh.SimplePanel());
    EXPECT_EQ(fresh.PanelCount(), 1);

    // The last panel reaches the right edge whatever its width.
    bar->SetPanelWidth(0, 50);
    EXPECT_EQ(bar->PanelRect(0).right(), bar->width() - 1);
    bar->SetPanelCount(2);
    bar->SetPanelText(1, "second");
    EXPECT_EQ(bar->PanelRect(0).width(), 50);
    EXPECT_EQ(bar->PanelRect(1).right(), bar->width() - 1);
    bar->SetSimplePanel(true);
    EXPECT_EQ(bar->PanelRect(0), QRect(0, 2, bar->width(), bar->height() - 2));
}

TEST_F(StatusBarTest, GrowingRepaintsOnlyTheNewPixelsAndTheGripStrip) {
    const QRegion painted = PaintedAfter([&] { bar->resize(460, 19); });
    ASSERT_FALSE(painted.isEmpty());
    EXPECT_FALSE(painted.contains(QPoint(10, 10))); // the text stays as it is
    EXPECT_FALSE(painted.contains(QPoint(300, 10)));
    EXPECT_TRUE(painted.contains(QPoint(459, 10))); // the grip strip
    EXPECT_TRUE(painted.contains(QPoint(430, 10))); // the pixels gained
    // Nothing of the old right edge is left in the panel's face.
    const QImage picture = OnScreen(*bar);
    EXPECT_EQ(Column(picture, 399), Column(picture, 300));
}

TEST_F(StatusBarTest, ShrinkingAndMovingRepaintTheRightStrip) {
    QRegion painted = PaintedAfter([&] { bar->resize(300, 19); });
    EXPECT_TRUE(painted.contains(QPoint(299, 10)));
    EXPECT_TRUE(painted.contains(QPoint(285, 10))); // 15 pixels wide with the grip
    EXPECT_FALSE(painted.contains(QPoint(283, 10)));
    EXPECT_FALSE(painted.contains(QPoint(10, 10)));

    painted = PaintedAfter([&] { bar->move(0, 60); });
    EXPECT_TRUE(painted.contains(QPoint(299, 10)));

    // Without the grip the strip is one pixel wide.
    bar->SetSizeGrip(false);
    Settle();
    painted = PaintedAfter([&] { bar->resize(280, 19); });
    EXPECT_TRUE(painted.contains(QPoint(279, 10)));
    EXPECT_FALSE(painted.contains(QPoint(277, 10)));
}

// Once everything invalidated has been painted, nothing is waiting: the next
// change repaints the grip strip alone, not the one-pixel-wider strip.
TEST_F(StatusBarTest, NothingStaysPendingAfterThePaint) {
    bar->resize(300, 19);
    Settle();
    for (int step = 0; step < 3; ++step) {
        const QRegion painted = PaintedAfter([&] { bar->move(0, 52 + step); });
        EXPECT_TRUE(painted.contains(QPoint(285, 10))) << step;
        EXPECT_FALSE(painted.contains(QPoint(284, 10))) << step;
    }
}

TEST_F(StatusBarTest, FullRepaintRepaintsEverything) {
    bar->FullRepaint = true;
    const QRegion painted = PaintedAfter([&] { bar->resize(420, 19); });
    EXPECT_TRUE(painted.contains(QPoint(10, 10)));
    EXPECT_TRUE(painted.contains(QPoint(419, 10)));
}

TEST_F(StatusBarTest, NewTextRepaintsItsPanel) {
    bar->SetPanelCount(2);
    bar->SetPanelWidth(0, 100);
    Settle();
    const QRegion painted = PaintedAfter([&] { bar->SetPanelText(0, "other.pas"); });
    EXPECT_TRUE(painted.contains(QPoint(10, 10)));
    EXPECT_FALSE(painted.contains(QPoint(200, 10)));
    EXPECT_EQ(bar->PanelText(0), "other.pas");
}

// ---- in the main window ----

struct StatusBarInWindowTest : WindowTest {};

// The window system repaints the whole window on every size change of a
// top-level window here (Qt keeps no static contents off Windows, and the
// backing store is renewed at the new size), so the bar is asked to paint all
// of itself at each step. What holds: it paints the same picture, the text
// unchanged and the grip at the new right end, with no trace of the old edge.
TEST_F(StatusBarInWindowTest, GrowingTheMainWindowKeepsTheTextAndMovesTheGripCleanly) {
    Create();
    window->resize(500, 300);
    Show();
    SourceFileName = "/home/user/src/main.pas"; // what each resize puts there
    window->FormResize();
    QApplication::processEvents();
    TqdStatusBar98& bar = *window->StatusBar;
    QImage before = OnScreen(bar);
    const QImage grip = before.copy(before.width() - 15, 0, 15, before.height());
    const QImage interior = Column(before, 300); // past the text: the panel's face
    for (int step = 1; step <= 3; ++step) {
        const int oldWidth = bar.width();
        window->resize(window->width() + 40, 300);
        QApplication::processEvents();
        QApplication::processEvents();
        ASSERT_EQ(bar.width(), oldWidth + 40);
        const QImage after = OnScreen(bar);
        EXPECT_EQ(after.copy(0, 0, 200, after.height()), before.copy(0, 0, 200, before.height()))
            << step;
        EXPECT_EQ(after.copy(after.width() - 15, 0, 15, after.height()), grip) << step;
        EXPECT_EQ(Column(after, oldWidth - 1), interior) << step; // the old right edge
        before = after;
    }
}

} // namespace
