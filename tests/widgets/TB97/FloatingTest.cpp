// The floating toolbar: its caption text cut to fit, where a point on the
// frame lands, the sizes it snaps between and the sticky zone, resizing by
// its edges, the close button, hiding with the application and the form,
// activation kept with the form, and the frame's pixels.

#include "platform/SystemMetrics.h"
#include "platform/qt/NonClientFrame.h"
#include "tests/widgets/TB97/TestSupport.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/FloatingFrame.h"
#include "widgets/TB97/FloatingResize.h"
#include "widgets/TB97/HintSuspension.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/TB97/ToolbarOutline.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <vector>

using namespace tb97test;

namespace {

constexpr QRgb kNavy = 0x000080;  // the active caption
constexpr QRgb kLight = 0xDFDFDF; // the raised edge's outer light
constexpr tb97::TFloatMetrics kClassic{4, 15};

// Width 5 per character, as a fixed-pitch font would measure.
int FiveEach(const QString& text) {
    return 5 * static_cast<int>(text.size());
}

std::vector<tb97::TToolbarOutline*> Outlines() {
    std::vector<tb97::TToolbarOutline*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* outline = qobject_cast<tb97::TToolbarOutline*>(w);
        if (outline != nullptr && outline->isVisible()) {
            found.push_back(outline);
        }
    }
    return found;
}

// The rectangle the one outline showing frames, in screen coordinates.
QRect Framed() {
    const std::vector<tb97::TToolbarOutline*> outlines = Outlines();
    return outlines.size() == 1 ? outlines.front()->Shown().boundingRect() : QRect();
}

// Whether a tool tip asked of WIDGET now reaches it.
bool HintReaches(QWidget* widget) {
    struct TSpy : QObject {
        bool Seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            Seen = Seen || event->type() == QEvent::ToolTip;
            return false;
        }
    } spy;
    widget->installEventFilter(&spy);
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(widget, &help);
    widget->removeEventFilter(&spy);
    return spy.Seen;
}

// A form with a floating toolbar like the main window's: seven 22-pixel
// buttons with a 6-pixel separator after each but the last.
class FloatingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSystemMetrics();
        form.resize(500, 400);
        bar = new TToolbar97(&form);
        bar->SetCaption("Lumivane98");
        int x = 4;
        for (int i = 0; i < 7; ++i) {
            auto* button = new TToolbarButton97(bar);
            button->setGeometry(x, 2, 22, 22);
            items.push_back(button);
            x += 22;
            if (i < 6) {
                auto* sep = new TToolbarSep97(bar);
                sep->setGeometry(x, 2, 6, 22);
                items.push_back(sep);
                x += 6;
            }
        }
        bar->Loaded();
        bar->SetFloatingRect(QRect(100, 100, 206, 48));
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QCoreApplication::processEvents();
        ASSERT_TRUE(bar->isVisible());
        ASSERT_EQ(bar->geometry(), QRect(100, 100, 206, 48));
    }
    void TearDown() override {
        if (QWidget::mouseGrabber() != nullptr) {
            QWidget::mouseGrabber()->releaseMouse();
        }
        ResetSystemMetrics();
    }

    // Presses the left button at P on the toolbar, moves to each of MOVES,
    // releases at the last.
    void Drag(QPoint p, const std::vector<QPoint>& moves) {
        QTest::mousePress(bar, Qt::LeftButton, {}, p);
        for (const QPoint& m : moves) {
            QTest::mouseMove(bar, m);
        }
        QTest::mouseRelease(bar, Qt::LeftButton, {}, moves.empty() ? p : moves.back());
    }

    QWidget form;
    TToolbar97* bar = nullptr;
    std::vector<QWidget*> items;
};

} // namespace

TEST(FloatingCaption, TextIsCutWithDotsOnlyWhenItDoesNotFit) {
    // "Lumivane98" is 50 wide.
    EXPECT_EQ(tb97::CutCaption("Lumivane98", 50, FiveEach), "Lumivane98");
    EXPECT_EQ(tb97::CutCaption("Lumivane98", 49, FiveEach), "Lumiva...");
    EXPECT_EQ(tb97::CutCaption("Lumivane98", 45, FiveEach), "Lumiva...");
    EXPECT_EQ(tb97::CutCaption("Lumivane98", 44, FiveEach), "Lumiv...");
    // Five characters is still cut further; under five it stops, fitting or not.
    EXPECT_EQ(tb97::CutCaption("Lumivane98", 21, FiveEach), "L...");
    EXPECT_EQ(tb97::CutCaption("Lumivane98", 0, FiveEach), "L...");
    EXPECT_EQ(tb97::CutCaption("Lumivane98", -5, FiveEach), "L...");
    EXPECT_EQ(tb97::CutCaption("Lu", 9, FiveEach), "L...");
    EXPECT_EQ(tb97::CutCaption("Lu", 10, FiveEach), "Lu");
    EXPECT_EQ(tb97::CutCaption("", 0, FiveEach), "");
    EXPECT_EQ(tb97::CutCaption("", -3, FiveEach), "");
}

TEST(FloatingHitTest, CaptionCloseAndEdgesAtTheirPixelBoundaries) {
    const QSize size(206, 48);
    auto hit = [&](int x, int y, bool close = true) {
        return tb97::FloatingHitTest(size, QPoint(x, y), close, kClassic);
    };
    // The caption (x 4..201, y 4..17) is client, its close square 188..201 is close.
    EXPECT_EQ(hit(4, 4), HTCLIENT);
    EXPECT_EQ(hit(187, 4), HTCLIENT);
    EXPECT_EQ(hit(188, 4), HTCLOSE);
    EXPECT_EQ(hit(201, 17), HTCLOSE);
    EXPECT_EQ(hit(195, 10, false), HTCLIENT);
    // Edges are f + 1 = 5 pixels wide.
    EXPECT_EQ(hit(50, 3), HTTOP);
    EXPECT_EQ(hit(3, 4), HTTOP);
    EXPECT_EQ(hit(3, 5), HTLEFT);
    EXPECT_EQ(hit(4, 30), HTLEFT);
    EXPECT_EQ(hit(5, 30), HTCLIENT);
    EXPECT_EQ(hit(200, 30), HTCLIENT);
    EXPECT_EQ(hit(201, 30), HTRIGHT);
    EXPECT_EQ(hit(201, 18), HTRIGHT);
    EXPECT_EQ(hit(200, 18), HTCLIENT); // the line below the caption
    EXPECT_EQ(hit(50, 42), HTCLIENT);
    EXPECT_EQ(hit(50, 43), HTBOTTOM);
    // No corners: top and bottom win.
    EXPECT_EQ(hit(0, 0), HTTOP);
    EXPECT_EQ(hit(205, 0), HTTOP);
    EXPECT_EQ(hit(0, 47), HTBOTTOM);
    EXPECT_EQ(hit(205, 47), HTBOTTOM);
    // Off the window.
    EXPECT_EQ(hit(-1, 10), HTNOWHERE);
    EXPECT_EQ(hit(206, 10), HTNOWHERE);
}

TEST(FloatingHitTest, FollowsTheSystemMetrics) {
    SetSystemMetric(SM_CXFRAME, 6);
    SetSystemMetric(SM_CYSMCAPTION, 20);
    const tb97::TFloatMetrics m = tb97::FloatingMetrics();
    EXPECT_EQ(m.Frame, 6);
    EXPECT_EQ(m.Caption, 20);
    EXPECT_EQ(tb97::FloatingHitTest(QSize(100, 60), QPoint(50, 6), true, m), HTCLIENT);
    EXPECT_EQ(tb97::FloatingHitTest(QSize(100, 60), QPoint(50, 5), true, m), HTTOP);
    EXPECT_EQ(tb97::FloatingHitTest(QSize(100, 60), QPoint(75, 6), true, m), HTCLOSE);
    EXPECT_EQ(tb97::FloatingHitTest(QSize(100, 60), QPoint(6, 40), true, m), HTLEFT);
    EXPECT_EQ(tb97::FloatingHitTest(QSize(100, 60), QPoint(7, 40), true, m), HTCLIENT);
    ResetSystemMetrics();
}

TEST(FloatingCandidates, SameHeightReplacesAndTheNarrowestLimitIsWidestItemPlus8) {
    // Widths equal the limit at every tenth pixel; two rows at 80 and up,
    // three below.
    auto arranged = [](int limit) {
        if (limit == 0) {
            return QSize(100, 10);
        }
        return QSize(limit % 10 == 0 ? limit : limit - 1, limit >= 80 ? 20 : 30);
    };
    EXPECT_EQ(tb97::FloatingCandidateSizes(arranged, 52),
              (std::vector<QSize>{{60, 30}, {80, 20}, {100, 10}}));
    EXPECT_EQ(tb97::FloatingCandidateSizes(arranged, 53),
              (std::vector<QSize>{{70, 30}, {80, 20}, {100, 10}}));
    // Nothing narrower is possible: the unwrapped size alone.
    EXPECT_EQ(tb97::FloatingCandidateSizes(arranged, 95), (std::vector<QSize>{{100, 10}}));
}

TEST(FloatingCandidates, StickyZoneShrinksBetweenCloseNeighbours) {
    const std::vector<int> apart{30, 58, 86, 114, 198};
    EXPECT_EQ(tb97::StickyZone(apart, 0), 12);
    EXPECT_EQ(tb97::StickyZone(apart, 2), 12);
    EXPECT_EQ(tb97::StickyZone(apart, 4), 12);
    const std::vector<int> close{10, 15, 40, 41};
    EXPECT_EQ(tb97::StickyZone(close, 0), 4);
    EXPECT_EQ(tb97::StickyZone(close, 1), 4);
    EXPECT_EQ(tb97::StickyZone(close, 2), 0);
    EXPECT_EQ(tb97::StickyZone(close, 3), 0);
    EXPECT_EQ(tb97::StickyZone({7, 7}, 0), 0);
    EXPECT_EQ(tb97::StickyZone({7}, 0), 12);
}

TEST(FloatingCandidates, PickHoldsTheCurrentSizeInsideItsZone) {
    const std::vector<int> apart{30, 58, 86, 114, 198};
    EXPECT_EQ(tb97::PickCandidate(apart, 2, 98), 2u);
    EXPECT_EQ(tb97::PickCandidate(apart, 2, 74), 2u);
    EXPECT_EQ(tb97::PickCandidate(apart, 2, 73), 1u);
    EXPECT_EQ(tb97::PickCandidate(apart, 1, 100), 2u);
    EXPECT_EQ(tb97::PickCandidate(apart, 2, 114), 3u);
    EXPECT_EQ(tb97::PickCandidate(apart, 4, 10), 0u);
    EXPECT_EQ(tb97::PickCandidate(apart, 0, 1000), 4u);
    const std::vector<int> close{10, 15, 40};
    EXPECT_EQ(tb97::PickCandidate(close, 1, 11), 1u);
    EXPECT_EQ(tb97::PickCandidate(close, 1, 10), 0u);
    EXPECT_EQ(tb97::PickCandidate(close, 1, 19), 1u);
    EXPECT_EQ(tb97::PickCandidate(close, 1, 20), 1u);
    EXPECT_EQ(tb97::PickCandidate(close, 1, 39), 1u);
    EXPECT_EQ(tb97::PickCandidate(close, 1, 40), 2u);
}

TEST_F(FloatingTest, MainToolbarSnapsBetweenFiveSizes) {
    // By hand, with 28 per button and separator, 4 + 4 margins: 6, 3, 2, 1
    // and 0 button-and-separator pairs per row, the last button joining the
    // last row where it fits (width = limit only at 114, 86, 58 and 30).
    const std::vector<QSize> expected{{30, 193}, {58, 165}, {86, 81}, {114, 53}, {198, 25}};
    EXPECT_EQ(tb97::FloatingCandidateSizes(*bar), expected);
}

TEST_F(FloatingTest, DraggingTheRightEdgeSnapsAndAppliesOnRelease) {
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(204, 30));
    EXPECT_EQ(QWidget::mouseGrabber(), bar);
    ASSERT_EQ(Outlines().size(), 1u);
    // Inside the 12-pixel zone the size holds.
    QTest::mouseMove(bar, QPoint(204 - 12, 30));
    EXPECT_EQ(Framed(), QRect(100, 100, 206, 48));
    // One further: the largest size reached, 114 + 8 wide.
    QTest::mouseMove(bar, QPoint(204 - 13, 30));
    EXPECT_EQ(Framed(), QRect(100, 100, 122, 53 + 23));
    QTest::mouseMove(bar, QPoint(204 - 112, 30)); // 94 reached
    EXPECT_EQ(Framed(), QRect(100, 100, 94, 81 + 23));
    // A ring f = 4 thick: 94 × 104 less the 86 × 96 inside it.
    tb97::TToolbarOutline* outline = Outlines().front();
    const QRegion ring = outline->Shown();
    EXPECT_EQ(Area(ring), 94 * 104 - 86 * 96);
    for (const QPoint p : {QPoint(100, 100), QPoint(103, 103), QPoint(193, 203), QPoint(150, 102),
                           QPoint(190, 150), QPoint(101, 200)}) {
        EXPECT_TRUE(ring.contains(p)) << p.x() << "," << p.y();
    }
    for (const QPoint p : {QPoint(104, 104), QPoint(189, 199), QPoint(150, 150), QPoint(99, 100),
                           QPoint(194, 203), QPoint(150, 204)}) {
        EXPECT_FALSE(ring.contains(p)) << p.x() << "," << p.y();
    }
    // Drawn as a checkerboard laid from the screen's origin: black where
    // x + y is even, white where it is odd.
    const QImage shot = Shot(*outline);
    const QPoint origin = outline->geometry().topLeft();
    for (const QPoint p : {QPoint(100, 100), QPoint(101, 100), QPoint(103, 101), QPoint(102, 101),
                           QPoint(193, 203), QPoint(192, 203), QPoint(150, 102)}) {
        const QRgb expected = (p.x() + p.y()) % 2 == 0 ? kBlack : kHighlight;
        EXPECT_EQ(At(shot, p.x() - origin.x(), p.y() - origin.y()), expected)
            << p.x() << "," << p.y();
    }
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 206, 48)); // nothing changes yet
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(204 - 112, 30));
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 94, 104));
    EXPECT_EQ(bar->FloatingRect(), QRect(100, 100, 94, 104));
    EXPECT_EQ(bar->FloatingWidth(), 86);
    EXPECT_EQ(bar->RowDividers(), (std::vector<int>{30, 58}));
    EXPECT_TRUE(Outlines().empty());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(FloatingTest, LeftAndTopEdgesKeepTheOppositeEdgeInPlace) {
    Drag(QPoint(1, 30), {QPoint(150, 30)}); // 206 - 149 = 57 reached: 30 + 8 wide
    EXPECT_EQ(bar->geometry(), QRect(305 - 38 + 1, 100, 38, 193 + 23));
    EXPECT_EQ(bar->geometry().right(), 305);
    // Back to one row by the top edge: the bottom stays.
    const int bottom = bar->geometry().bottom();
    Drag(QPoint(20, 1), {QPoint(20, 1 + 216 - 48)});
    EXPECT_EQ(bar->size(), QSize(206, 48));
    EXPECT_EQ(bar->geometry().bottom(), bottom);
    EXPECT_EQ(bar->geometry().left(), 268);
}

TEST_F(FloatingTest, ResizeAndKeepingOnScreenGoByTheStoredRectangle) {
    // The window system may report a window it has just placed at the
    // origin for a while; the toolbar knows better where it stands.
    bar->move(0, 0);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(204, 30));
    QTest::mouseMove(bar, QPoint(204 - 112, 30));
    EXPECT_EQ(Framed(), QRect(100, 100, 94, 104));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(204 - 112, 30));
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 94, 104));
    EXPECT_EQ(bar->FloatingRect(), QRect(100, 100, 94, 104));

    // Stored off the work area, reported on it: brought back all the same.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    bar->SetFloatingRect(QRect(area.right() + 300, area.top() + 20, 94, 104));
    bar->move(0, 0);
    bar->KeepOnScreen();
    EXPECT_EQ(bar->FloatingRect(), QRect(area.right() - 93, area.top() + 20, 94, 104));
    EXPECT_EQ(bar->geometry(), bar->FloatingRect());
}

TEST_F(FloatingTest, ResizeEndsWithoutEffectOnALeftPressOrDeactivation) {
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(204, 30));
    QTest::mouseMove(bar, QPoint(90, 30));
    // Other buttons and keys are swallowed and change nothing.
    QTest::mousePress(bar, Qt::RightButton, {}, QPoint(90, 30));
    QTest::mouseRelease(bar, Qt::RightButton, {}, QPoint(90, 30));
    QTest::keyClick(bar, Qt::Key_Escape);
    ASSERT_EQ(Outlines().size(), 1u);
    EXPECT_EQ(QWidget::mouseGrabber(), bar);
    // No hints while resizing.
    EXPECT_TRUE(tb97::THintSuspension::Active());
    EXPECT_FALSE(HintReaches(items[0]));
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(90, 30));
    EXPECT_TRUE(Outlines().empty());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(tb97::THintSuspension::Active());
    EXPECT_TRUE(HintReaches(items[0]));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(90, 30));
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 206, 48));
    EXPECT_EQ(bar->FloatingWidth(), 0);

    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(204, 30));
    QTest::mouseMove(bar, QPoint(90, 30));
    EXPECT_TRUE(tb97::THintSuspension::Active());
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_TRUE(Outlines().empty());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(tb97::THintSuspension::Active());
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(90, 30));
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 206, 48));

    // Losing the mouse to another widget ends it too.
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(204, 30));
    form.grabMouse();
    QTest::mouseMove(bar, QPoint(90, 30));
    form.releaseMouse();
    EXPECT_TRUE(Outlines().empty());
    EXPECT_FALSE(tb97::THintSuspension::Active());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(90, 30));
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 206, 48));
}

TEST_F(FloatingTest, EdgesBelongToTheFloatingFrameOnly) {
    // A double click on an edge is a press there: it starts resizing.
    QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(204, 30));
    EXPECT_EQ(Outlines().size(), 1u);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(204, 30));
    EXPECT_TRUE(Outlines().empty());
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 206, 48));
    // Docked, the same spots are the toolbar's own.
    auto* top = new TDock97(&form, dpTop);
    bar->SetDockedTo(top);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(1, 10));
    EXPECT_TRUE(Outlines().empty());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(1, 10));
    QTest::mouseMove(bar->window()->windowHandle(), bar->mapTo(bar->window(), QPoint(1, 10)));
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(FloatingTest, SizingCursorsOverTheEdgesOnly) {
    // Moves with no button held, through the window as the platform sends them.
    QWindow* window = bar->windowHandle();
    ASSERT_NE(window, nullptr);
    QTest::mouseMove(window, QPoint(2, 30));
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(window, QPoint(203, 30));
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(window, QPoint(50, 45));
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeVerCursor);
    QTest::mouseMove(window, QPoint(50, 10)); // caption
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(window, QPoint(50, 1));
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeVerCursor);
    QTest::mouseMove(window, QPoint(195, 10)); // close button
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
    // Over an item from an edge: the item does not inherit the edge's arrows.
    QTest::mouseMove(window, QPoint(2, 30));
    EXPECT_EQ(bar->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(window, items[0]->geometry().center());
    EXPECT_EQ(bar->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(FloatingTest, CloseButtonClosesOnlyOnAReleaseOverIt) {
    int closes = 0;
    bar->OnClose = [&closes] { ++closes; };
    const QPoint button(195, 10);
    QTest::mousePress(bar, Qt::LeftButton, {}, button);
    // Pushed while held over it: the sunken edge's shadow at its top-left.
    EXPECT_EQ(At(Shot(*bar), 189, 5), kShadow);
    QTest::mouseMove(bar, QPoint(100, 30));
    EXPECT_EQ(At(Shot(*bar), 189, 5), kLight);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(100, 30));
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->Visible());

    // Out and back in, then released over it: closed.
    QTest::mousePress(bar, Qt::LeftButton, {}, button);
    QTest::mouseMove(bar, QPoint(100, 30));
    QTest::mouseMove(bar, QPoint(190, 6));
    EXPECT_EQ(At(Shot(*bar), 189, 5), kShadow);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(190, 6));
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(bar->Visible());

    // Shown again where it was.
    bar->setVisible(true);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 206, 48));
    EXPECT_EQ(At(Shot(*bar), 189, 5), kLight);
}

TEST_F(FloatingTest, NoCloseButtonMeansThePressGoesToTheToolbar) {
    int closes = 0;
    bar->OnClose = [&closes] { ++closes; };
    bar->SetCloseButton(false);
    // The caption takes the toolbar: the drag runs until the release, which
    // drops it where it was.
    QTimer::singleShot(0, bar,
                       [this] { QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(195, 10)); });
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(195, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 206, 48));
    EXPECT_EQ(At(Shot(*bar), 195, 10), kNavy);
}

TEST_F(FloatingTest, HiddenWhileTheApplicationIsInactiveOrTheFormMinimized) {
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(bar->Visible());
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 206, 48));

    form.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
    form.showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry(), QRect(100, 100, 206, 48));

    // Closed by the user, it stays hidden when the application comes back.
    bar->setVisible(false);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(FloatingTest, ActivationGoesBackToTheFormWhoseCaptionStaysActive) {
    struct TNcSpy : QObject {
        std::vector<bool> Seen;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == TNcActivateEvent::EventType()) {
                Seen.push_back(static_cast<TNcActivateEvent*>(event)->Active());
            }
            return false;
        }
    } spy;
    // Another window of ours was active last, as far as the platform knows.
    QWidget other;
    other.setGeometry(600, 400, 50, 50);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    form.installEventFilter(&spy);
    // As a window system might on a click, however the toolbar asks not to be.
    QApplication::setActiveWindow(bar);
    EXPECT_EQ(QApplication::activeWindow(), bar);
    ASSERT_FALSE(spy.Seen.empty());
    EXPECT_TRUE(spy.Seen.back());
    // The form's frame layer reports the loss; the caption stays active.
    TNcActivateEvent lost(false);
    QCoreApplication::sendEvent(&form, &lost);
    EXPECT_TRUE(spy.Seen.back());
    // And the form gets the activation back.
    QTest::qWait(20);
    EXPECT_EQ(QApplication::activeWindow(), &form);
    EXPECT_TRUE(spy.Seen.back());
    form.removeEventFilter(&spy);
}

TEST_F(FloatingTest, FramePixels) {
    const QImage shot = Shot(*bar);
    // The 2-pixel raised edge, then button-face rings.
    EXPECT_EQ(At(shot, 0, 0), kLight);
    EXPECT_EQ(At(shot, 1, 1), kHighlight);
    EXPECT_EQ(At(shot, 204, 46), kShadow);
    EXPECT_EQ(At(shot, 205, 47), kBlack);
    EXPECT_EQ(At(shot, 2, 30), kFace);
    EXPECT_EQ(At(shot, 3, 30), kFace);
    // The caption: active caption colour, 14 high, a face line below it.
    EXPECT_EQ(At(shot, 4, 4), kNavy);
    EXPECT_EQ(At(shot, 150, 17), kNavy);
    EXPECT_EQ(At(shot, 150, 18), kFace);
    EXPECT_EQ(At(shot, 150, 3), kFace);
    bool white = false;
    for (int x = 5; x < 80 && !white; ++x) {
        for (int y = 4; y < 18; ++y) {
            white = white || At(shot, x, y) == kHighlight;
        }
    }
    EXPECT_TRUE(white) << "caption text in the caption text colour";
    // The close button inside a ring of the caption colour, raised.
    EXPECT_EQ(At(shot, 188, 4), kNavy);
    EXPECT_EQ(At(shot, 201, 17), kNavy);
    EXPECT_EQ(At(shot, 190, 6), kHighlight);
    EXPECT_EQ(At(shot, 200, 16), kBlack);
}
