// The toolbar button's looks through hover, press, drag-off and release,
// groups, disabled painting, the layout of its glyph, and drop-down menus.

#include "platform/SysColors.h"
#include "tests/widgets/TB97/TestSupport.h"
#include "widgets/TB97/ToolbarButton97.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tb97test;

namespace {

constexpr QRgb kOlive = 0x808000;
constexpr QRgb kRed = 0xFF0000;

// A 16 × 16 red square on an olive border.
QImage RedGlyph() {
    QImage image = Picture(16, 16, kOlive);
    for (int y = 1; y < 15; ++y) {
        for (int x = 1; x < 15; ++x) {
            image.setPixel(x, y, kRed);
        }
    }
    return image;
}

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.resize(200, 100);
        form.move(100, 100);
        a = new TToolbarButton97(&form);
        a->setGeometry(10, 10, 22, 22);
        b = new TToolbarButton97(&form);
        b->setGeometry(40, 10, 22, 22);
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        AwayFromButtons();
    }

    void AwayFromButtons() { QTest::mouseMove(&form, QPoint(150, 80)); }
    void Hover(TToolbarButton97* button) { QTest::mouseMove(button, QPoint(11, 11)); }

    // Which frame the button shows: 'n' none, 'r' raised, 's' sunken.
    static char Frame(TToolbarButton97& button) {
        const QImage shot = Shot(button);
        const int r = button.width() - 1;
        const int bottom = button.height() - 1;
        if (At(shot, 0, 0) == kHighlight && At(shot, r, bottom) == kShadow &&
            At(shot, r, 0) == kShadow && At(shot, 0, bottom) == kShadow) {
            return 'r';
        }
        if (At(shot, 0, 0) == kShadow && At(shot, r, bottom) == kHighlight) {
            return 's';
        }
        return At(shot, 0, 0) == kFace && At(shot, r, bottom) == kFace ? 'n' : '?';
    }

    QWidget form;
    TToolbarButton97* a = nullptr;
    TToolbarButton97* b = nullptr;
};

} // namespace

TEST_F(ButtonTest, ConstructionDefaults) {
    TToolbarButton97 button;
    EXPECT_EQ(button.size(), QSize(22, 23));
    EXPECT_TRUE(button.Flat());
    EXPECT_TRUE(button.Opaque());
    EXPECT_TRUE(button.DropdownArrow());
    EXPECT_EQ(button.Margin(), -1);
    EXPECT_EQ(button.Spacing(), 4);
    EXPECT_EQ(button.NumGlyphs(), 1);
    button.SetMargin(-2); // below -1 is ignored
    EXPECT_EQ(button.Margin(), -1);
    button.SetNumGlyphs(8);
    EXPECT_EQ(button.NumGlyphs(), 5);
}

TEST_F(ButtonTest, HoverPressAndReleaseClickOnce) {
    int clicks = 0;
    a->OnClick = [&] { ++clicks; };
    a->SetGlyph(RedGlyph());
    EXPECT_EQ(Frame(*a), 'n');
    // At rest the glyph sits centred: R is 20 × 20 from (1,1), margin (20-16+1)/2.
    EXPECT_EQ(At(Shot(*a), 3, 3), kFace); // the olive corner is transparent
    EXPECT_EQ(At(Shot(*a), 4, 4), kRed);

    Hover(a);
    EXPECT_EQ(a->State(), bsHot);
    EXPECT_EQ(TToolbarButton97::HotButton(), a);
    EXPECT_EQ(Frame(*a), 'r');

    QTest::mousePress(a, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_EQ(a->State(), bsDown);
    EXPECT_EQ(Frame(*a), 's');
    // Pressed, the content moves one pixel right and down.
    EXPECT_EQ(At(Shot(*a), 4, 4), kFace);
    EXPECT_EQ(At(Shot(*a), 5, 5), kRed);
    EXPECT_EQ(clicks, 0);

    QTest::mouseRelease(a, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(a->State(), bsHot); // the mouse is still over it
    EXPECT_EQ(Frame(*a), 'r');
}

TEST_F(ButtonTest, DragOffAndReleaseDoesNotClick) {
    int clicks = 0;
    a->OnClick = [&] { ++clicks; };
    Hover(a);
    QTest::mousePress(a, Qt::LeftButton, {}, QPoint(11, 11));
    QTest::mouseMove(a, QPoint(60, 60)); // held: the move goes to the button
    EXPECT_EQ(a->State(), bsUp);
    QTest::mouseMove(a, QPoint(5, 5));
    EXPECT_EQ(a->State(), bsDown); // back over it: down again
    QTest::mouseMove(a, QPoint(60, 60));
    QCursor::setPos(form.mapToGlobal(QPoint(150, 80)));
    QTest::mouseRelease(a, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(a->State(), bsUp);
    EXPECT_FALSE(a->MouseInControl());
    EXPECT_EQ(Frame(*a), 'n');
}

TEST_F(ButtonTest, HoverMovesFromButtonToButtonAndTimerEndsIt) {
    std::vector<std::string> seen;
    a->OnMouseEnter = [&] { seen.push_back("enter a"); };
    a->OnMouseExit = [&] { seen.push_back("exit a"); };
    b->OnMouseEnter = [&] { seen.push_back("enter b"); };
    b->OnMouseExit = [&] { seen.push_back("exit b"); };
    Hover(a);
    EXPECT_EQ(TToolbarButton97::HotButton(), a);
    Hover(b);
    EXPECT_EQ(TToolbarButton97::HotButton(), b);
    EXPECT_EQ(a->State(), bsUp);
    EXPECT_EQ(Frame(*a), 'n');
    EXPECT_EQ(b->State(), bsHot);
    // The pointer jumps off without any event reaching the button: the
    // tracking timer notices within its period.
    QCursor::setPos(QPoint(5, 5));
    QTest::qWait(300);
    EXPECT_EQ(TToolbarButton97::HotButton(), nullptr);
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_EQ(Frame(*b), 'n');
    EXPECT_EQ(seen, (std::vector<std::string>{"enter a", "exit a", "enter b", "exit b"}));
}

TEST_F(ButtonTest, GroupButtonsAreExclusive) {
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->State(), bsExclusive);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->State(), bsUp);
    // Without AllowAllUp a down button stays down when clicked.
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_TRUE(b->Down());
    // AllowAllUp spreads to the group; then it comes up.
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(a->Down());
}

TEST_F(ButtonTest, DownNeedsAGroup) {
    a->SetDown(true);
    EXPECT_FALSE(a->Down());
    a->SetGroupIndex(3);
    a->SetDown(true);
    EXPECT_TRUE(a->Down());
    b->SetGroupIndex(3);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
}

TEST_F(ButtonTest, ExclusiveButtonShowsTheDitherPattern) {
    a->SetGroupIndex(1);
    a->SetDown(true);
    const QImage shot = Shot(*a);
    EXPECT_EQ(Frame(*a), 's');
    // Inside the frame: highlight where column and row are both even or both odd.
    EXPECT_EQ(At(shot, 2, 2), kHighlight);
    EXPECT_EQ(At(shot, 3, 3), kHighlight);
    EXPECT_EQ(At(shot, 3, 2), kFace);
    EXPECT_EQ(At(shot, 2, 5), kFace);
}

TEST_F(ButtonTest, DisabledButtonIsEmbossedAndIgnoresTheMouse) {
    int clicks = 0;
    a->OnClick = [&] { ++clicks; };
    a->SetGlyph(RedGlyph());
    a->setEnabled(false);
    Hover(a);
    EXPECT_EQ(a->State(), bsDisabled);
    EXPECT_NE(TToolbarButton97::HotButton(), a);
    const QImage shot = Shot(*a);
    EXPECT_EQ(Frame(*a), 'n');
    // The red square's top-left corner: shadow in place; highlight one pixel
    // right and down only past its bottom-right corner.
    EXPECT_EQ(At(shot, 4, 4), kShadow);
    EXPECT_EQ(At(shot, 17, 17), kShadow);
    EXPECT_EQ(At(shot, 18, 18), kHighlight);
    EXPECT_EQ(At(shot, 18, 4), kFace);
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_EQ(clicks, 0);
    a->setEnabled(true);
    EXPECT_EQ(At(Shot(*a), 4, 4), kRed);
}

TEST_F(ButtonTest, LayoutPutsCaptionBesideGlyph) {
    a->setGeometry(10, 10, 80, 22);
    a->SetGlyph(RedGlyph());
    a->SetCaption("Go");
    const int textWidth = a->fontMetrics().boundingRect("Go").width();
    const auto layout = a->CalcLayout(bsUp);
    // margin = (78 - (4 + 16 + text) + 1) / 2, all from R's left at 1.
    const int margin = (78 - (4 + 16 + textWidth) + 1) / 2;
    EXPECT_EQ(layout.GlyphPos.x(), 1 + margin);
    EXPECT_EQ(layout.TextBounds.left(), 1 + margin + 16 + 4);
    EXPECT_EQ(layout.GlyphPos.y(), 1 + (20 - 16 + 1) / 2);
    a->SetLayout(blGlyphRight);
    const auto right = a->CalcLayout(bsDown);
    EXPECT_EQ(right.GlyphPos.x(), 1 + 78 - margin - 16 + 1);
    EXPECT_EQ(right.TextBounds.right() + 1, right.GlyphPos.x() - 4);
}

TEST_F(ButtonTest, DropdownButtonClickedAgainClosesItsMenuOnly) {
    QMenu menu;
    menu.addAction("One");
    int clicks = 0;
    a->OnClick = [&] { ++clicks; };
    a->SetDropdownMenu(&menu);
    int shown = 0;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] { ++shown; });
    QWindow* window = form.windowHandle();
    const QPoint onA = a->mapTo(&form, QPoint(11, 11));
    QTest::mousePress(window, Qt::LeftButton, {}, onA);
    QTest::mouseRelease(window, Qt::LeftButton, {}, onA);
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(a->MenuIsDown());
    EXPECT_EQ(clicks, 0);
    // The second press lands on the button while the menu is open.
    QTest::mousePress(window, Qt::LeftButton, {}, onA, 50);
    QTest::mouseRelease(window, Qt::LeftButton, {}, onA);
    QCoreApplication::processEvents();
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(a->MenuIsDown());
    EXPECT_NE(a->State(), bsDown);
    // A later, separate click opens it again.
    QTest::mousePress(window, Qt::LeftButton, {}, onA, 600);
    QTest::mouseRelease(window, Qt::LeftButton, {}, onA);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(shown, 2);
    menu.hide();
}

TEST_F(ButtonTest, SplitButtonClicksLeftAndOpensItsMenuRight) {
    QMenu menu;
    menu.addAction("One");
    int clicks = 0;
    a->OnClick = [&] { ++clicks; };
    a->SetDropdownMenu(&menu);
    a->SetDropdownCombo(true);
    EXPECT_EQ(a->width(), 33);
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(5, 11));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(menu.isVisible());
    QTest::mousePress(a, Qt::LeftButton, {}, QPoint(27, 11));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(clicks, 1);
    menu.hide();
    QCoreApplication::processEvents();
    EXPECT_FALSE(a->MenuIsDown());
    a->SetDropdownCombo(false);
    EXPECT_EQ(a->width(), 22);
}

TEST_F(ButtonTest, DropdownArrowIsATriangleInTheFontColour) {
    QMenu menu;
    a->SetDropdownMenu(&menu);
    // No glyph, no caption: the arrow (9 × 3) is centred; margin (20 - 9 + 1) / 2.
    const QImage shot = Shot(*a);
    for (const QPoint at : {QPoint(11, 10), QPoint(15, 10), QPoint(12, 11), QPoint(13, 12)}) {
        EXPECT_EQ(At(shot, at.x(), at.y()), kBlack) << at.x() << "," << at.y();
    }
    for (const QPoint at :
         {QPoint(10, 10), QPoint(16, 10), QPoint(11, 11), QPoint(12, 12), QPoint(13, 13)}) {
        EXPECT_EQ(At(shot, at.x(), at.y()), kFace) << at.x() << "," << at.y();
    }
    // Disabled: a highlight triangle one pixel right and down, then the shadow one.
    a->setEnabled(false);
    const QImage disabled = Shot(*a);
    EXPECT_EQ(At(disabled, 11, 10), kShadow);
    EXPECT_EQ(At(disabled, 16, 11), kHighlight);
    EXPECT_EQ(At(disabled, 14, 12), kHighlight);
    a->SetDropdownArrow(false);
    EXPECT_EQ(At(Shot(*a), 11, 10), kFace);
}

TEST_F(ButtonTest, NonFlatButtonHasASoftRaisedEdge) {
    a->SetFlat(false);
    const QImage shot = Shot(*a);
    EXPECT_EQ(At(shot, 0, 0), kHighlight);
    EXPECT_EQ(At(shot, 1, 1), 0xDFDFDFu); // 3-D light
    EXPECT_EQ(At(shot, 21, 21), kBlack);  // 3-D dark shadow
    EXPECT_EQ(At(shot, 20, 20), kShadow);
    EXPECT_EQ(At(shot, 21, 0), kBlack);
}

TEST_F(ButtonTest, AnAcceleratorInTheCaptionClicks) {
    int clicks = 0;
    a->OnClick = [&] { ++clicks; };
    a->setGeometry(10, 10, 60, 22);
    a->SetCaption("&Go");
    QTest::keyClick(&form, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    a->setEnabled(false);
    QTest::keyClick(&form, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, ASystemColourChangeRemakesTheImages) {
    a->SetGlyph(RedGlyph());
    a->setEnabled(false);
    EXPECT_EQ(At(Shot(*a), 18, 18), kHighlight);
    SetSysColor(20, 0x00FFFF); // button highlight becomes yellow (0x00BBGGRR)
    a->SysColorChange();
    EXPECT_EQ(At(Shot(*a), 18, 18), 0xFFFF00u);
    ResetSysColors();
    a->SysColorChange();
    EXPECT_EQ(At(Shot(*a), 18, 18), kHighlight);
}

// Properties store and repaint only on a change: the same value again leaves
// the button unpainted, a new one repaints it once.
TEST_F(ButtonTest, SettingAPropertyToItsValueRepaintsNothing) {
    struct TPaintCounter : QObject {
        int Paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            Paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    QApplication::processEvents();
    a->installEventFilter(&counter);
    const std::vector<std::function<void(bool)>> setters = {
        [this](bool change) { a->SetLayout(change ? blGlyphTop : a->Layout()); },
        [this](bool change) { a->SetSpacing(change ? a->Spacing() + 1 : a->Spacing()); },
        [this](bool change) { a->SetColor(change ? 0x00FF00 : a->Color()); },
        [this](bool change) { a->SetWordWrap(change ? !a->WordWrap() : a->WordWrap()); },
    };
    for (size_t i = 0; i < setters.size(); ++i) {
        SCOPED_TRACE(i);
        counter.Paints = 0;
        setters[i](false);
        QApplication::processEvents();
        EXPECT_EQ(counter.Paints, 0);
        setters[i](true);
        QApplication::processEvents();
        EXPECT_EQ(counter.Paints, 1);
    }
    a->removeEventFilter(&counter);
}
