// The explorer button on a real window, offscreen: its looks pixel by pixel,
// the mouse, groups, hints and accelerators. System colours are the classic
// ones: face (192,192,192), shadow (128,128,128), highlight white.

#include "platform/SysColors.h"
#include "widgets/explbtn/explbtn.h"

#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

using enum TExplorerButtonOption;

const QRgb kKey = qRgb(255, 0, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreyish = qRgb(100, 100, 100);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kFace = qRgb(192, 192, 192);
const QRgb kShadow = qRgb(128, 128, 128);
const QRgb kBackground = qRgb(0, 128, 128);

// 16 x 16 in the key colour with a FILL square from (4,4) to (11,11), and
// black pixels at (5,5) and (10,10).
QImage Square(QRgb fill) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(kKey);
    for (int y = 4; y <= 11; ++y) {
        for (int x = 4; x <= 11; ++x) {
            image.setPixel(x, y, fill);
        }
    }
    image.setPixel(5, 5, kBlack);
    image.setPixel(10, 10, kBlack);
    return image;
}

class ExplorerButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSysColors();
        host = std::make_unique<QWidget>();
        QPalette palette = host->palette();
        palette.setColor(QPalette::Window, QColor(kBackground));
        host->setPalette(palette);
        host->setAutoFillBackground(true);
        host->resize(200, 100);
        button = AddButton(10, 10);
        button->SetBitmap(Square(kRed));
        button->SetNoFocusBitmap(Square(kGreyish));
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        // The pointer starts away from every button.
        QTest::mouseMove(host.get(), QPoint(190, 90));
    }

    TExplorerButton* AddButton(int left, int top) {
        auto* b = new TExplorerButton(host.get());
        b->setGeometry(left, top, 22, 22);
        b->OnClick = [this, b] { clicked.push_back(b); };
        b->show();
        return b;
    }

    // The button as it shows on its window, background included.
    QImage Look(TExplorerButton* b = nullptr) {
        b = b != nullptr ? b : button;
        return host->grab(b->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    void Click(TExplorerButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(11, 11)); }

    void ExpectNoFrame(const QImage& look) {
        for (int i = 0; i < 22; ++i) {
            EXPECT_EQ(look.pixel(i, 0), kBackground) << i;
            EXPECT_EQ(look.pixel(i, 21), kBackground) << i;
            EXPECT_EQ(look.pixel(0, i), kBackground) << i;
            EXPECT_EQ(look.pixel(21, i), kBackground) << i;
        }
    }

    // Left and top edges in FIRST, right and bottom in SECOND; the top-right
    // corner is SECOND's and the bottom-left FIRST's.
    void ExpectBevel(const QImage& look, QRgb first, QRgb second) {
        for (int i = 0; i < 21; ++i) {
            EXPECT_EQ(look.pixel(i, 0), first) << "top " << i;
            EXPECT_EQ(look.pixel(0, i + 1), first) << "left " << i + 1;
            EXPECT_EQ(look.pixel(21, i), second) << "right " << i;
            EXPECT_EQ(look.pixel(i + 1, 21), second) << "bottom " << i + 1;
        }
        EXPECT_EQ(look.pixel(0, 0), first);
        EXPECT_EQ(look.pixel(21, 0), second);
        EXPECT_EQ(look.pixel(0, 21), first);
    }

    std::unique_ptr<QWidget> host;
    TExplorerButton* button = nullptr;
    std::vector<TExplorerButton*> clicked;
};

// ---- looks ----

TEST_F(ExplorerButtonTest, DefaultsAsDesigned) {
    TExplorerButton fresh;
    EXPECT_EQ(fresh.size(), QSize(50, 40));
    EXPECT_EQ(fresh.Options(), (TExplorerButtonOptions{boMonoDisplay, boPopupMark, boShowBevel}));
    EXPECT_EQ(fresh.Options().Bits(), 0b1101);
    EXPECT_EQ(fresh.Alignment(), TAlignment::taCenter);
    EXPECT_EQ(fresh.BevelStyle(), TBevelStyle::bsRaised);
    EXPECT_EQ(fresh.Layout(), TExplorerButtonLayout::blBitmapTop);
    EXPECT_EQ(fresh.ShadingType(), TExplorerButtonShadingType::stMedium);
    EXPECT_EQ(fresh.UnselectedFontColor(), 0x80000008u);
    EXPECT_TRUE(fresh.ShowDownPattern());
    EXPECT_TRUE(fresh.Enabled());
    EXPECT_FALSE(fresh.Down() || fresh.AllowAllUp() || fresh.WordWrap());
    EXPECT_TRUE(fresh.Bitmap().isNull() && fresh.NoFocusBitmap().isNull());
    EXPECT_TRUE(fresh.GreyBitmap().isNull());
}

TEST_F(ExplorerButtonTest, AtRestTheNoFocusImageWithoutAFrame) {
    const QImage look = Look();
    ExpectNoFrame(look);
    // The bitmap stands at (3,3); its key colour lets the background through.
    EXPECT_EQ(look.pixel(3, 3), kBackground);
    EXPECT_EQ(look.pixel(3 + 4, 3 + 4), kGreyish);
    EXPECT_EQ(look.pixel(3 + 11, 3 + 11), kGreyish);
    EXPECT_EQ(look.pixel(3 + 5, 3 + 5), kBlack);
    EXPECT_EQ(look.pixel(3 + 12, 3 + 12), kBackground);
}

TEST_F(ExplorerButtonTest, AtRestTheGreyImageWhenThereIsNoNoFocusImage) {
    auto* plain = AddButton(40, 10);
    plain->SetBitmap(Square(kRed));
    // Red (255,0,0) sums to 255: above 231 under stMedium, so highlight.
    EXPECT_EQ(plain->GreyBitmap().pixel(4, 4), kWhite);
    EXPECT_EQ(Look(plain).pixel(3 + 4, 3 + 4), kWhite);
    EXPECT_EQ(Look(plain).pixel(3 + 5, 3 + 5), kBlack);
    // Without mono display the bitmap itself shows at rest.
    plain->SetOptions({boShowBevel});
    EXPECT_EQ(Look(plain).pixel(3 + 4, 3 + 4), kRed);
}

TEST_F(ExplorerButtonTest, HotShowsTheBitmapWithARaisedBevel) {
    QTest::mouseMove(button, QPoint(11, 11));
    ASSERT_TRUE(button->Hot());
    const QImage look = Look();
    ExpectBevel(look, kWhite, kShadow);
    EXPECT_EQ(look.pixel(3 + 4, 3 + 4), kRed);
    EXPECT_EQ(look.pixel(3 + 3, 3 + 3), kBackground);

    button->SetBevelStyle(TBevelStyle::bsLowered);
    ExpectBevel(Look(), kShadow, kWhite);
}

TEST_F(ExplorerButtonTest, PressedSinksTheBevelAndMovesTheBitmap) {
    QTest::mouseMove(button, QPoint(11, 11));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(11, 11));
    ASSERT_TRUE(button->Pressed());
    const QImage look = Look();
    ExpectBevel(look, kShadow, kWhite);
    EXPECT_EQ(look.pixel(3 + 4, 3 + 4), kBackground);
    EXPECT_EQ(look.pixel(4 + 4, 4 + 4), kRed);
    EXPECT_EQ(look.pixel(4 + 11, 4 + 11), kRed);
    EXPECT_EQ(look.pixel(4 + 5, 4 + 5), kBlack);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_EQ(clicked.size(), 1u);
    ExpectBevel(Look(), kWhite, kShadow);
}

TEST_F(ExplorerButtonTest, WithoutShowBevelNoFrameIsDrawn) {
    button->SetOptions({boMonoDisplay});
    QTest::mouseMove(button, QPoint(11, 11));
    ExpectNoFrame(Look());
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(11, 11));
    ExpectNoFrame(Look());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(11, 11));
}

TEST_F(ExplorerButtonTest, DownFillsWithTheDitherPattern) {
    button->SetGroupIndex(1);
    button->SetDown(true);
    QImage look = Look();
    ExpectBevel(look, kShadow, kWhite);
    // Both coordinates even or both odd: highlight; otherwise face.
    EXPECT_EQ(look.pixel(1, 1), kWhite);
    EXPECT_EQ(look.pixel(2, 2), kWhite);
    EXPECT_EQ(look.pixel(2, 1), kFace);
    EXPECT_EQ(look.pixel(1, 2), kFace);
    EXPECT_EQ(look.pixel(19, 18), kFace);
    EXPECT_EQ(look.pixel(4 + 4, 4 + 4), kRed);

    button->SetShowDownPattern(false);
    look = Look();
    EXPECT_EQ(look.pixel(1, 1), kBackground);
    EXPECT_EQ(look.pixel(2, 1), kBackground);
}

TEST_F(ExplorerButtonTest, DisabledEmbossesTheBlackPixelsOnly) {
    button->SetEnabled(false);
    QImage look = Look();
    ExpectNoFrame(look);
    // Shadow on the black pixels, highlight one pixel down and right.
    EXPECT_EQ(look.pixel(3 + 5, 3 + 5), kShadow);
    EXPECT_EQ(look.pixel(4 + 5, 4 + 5), kWhite);
    EXPECT_EQ(look.pixel(3 + 10, 3 + 10), kShadow);
    EXPECT_EQ(look.pixel(4 + 10, 4 + 10), kWhite);
    // The red square does not show.
    EXPECT_EQ(look.pixel(3 + 4, 3 + 4), kBackground);
    EXPECT_EQ(look.pixel(3 + 7, 3 + 7), kBackground);

    // Hovering a disabled button changes nothing.
    QTest::mouseMove(button, QPoint(11, 11));
    EXPECT_EQ(Look(), look);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_TRUE(clicked.empty());

    button->SetDisabledBitmap(Square(qRgb(0, 0, 200)));
    look = Look();
    EXPECT_EQ(look.pixel(3 + 4, 3 + 4), qRgb(0, 0, 200));
    EXPECT_EQ(look.pixel(3 + 3, 3 + 3), kBackground);
}

TEST_F(ExplorerButtonTest, EnablingAgainDropsPressedHotAndAnUngroupedDown) {
    QTest::mouseMove(button, QPoint(11, 11));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(11, 11));
    button->SetEnabled(false);
    EXPECT_FALSE(button->Pressed());
    EXPECT_FALSE(button->Hot());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_TRUE(clicked.empty());

    button->SetGroupIndex(3);
    button->SetEnabled(true);
    button->SetDown(true);
    button->SetEnabled(false);
    EXPECT_TRUE(button->Down()); // a group keeps its down button
}

// ---- grey image ----

struct GreyCase {
    int Sum;
    QRgb Expected;
};

// One pixel per sum after the key pixel (0,0); the sums straddle the thresholds.
QImage SumsImage(const std::vector<GreyCase>& cases) {
    QImage image(static_cast<int>(cases.size()) + 2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 255, 0));
    image.setPixel(static_cast<int>(cases.size()) + 1, 0, qRgb(0, 255, 0));
    for (size_t i = 0; i < cases.size(); ++i) {
        const int s = cases[i].Sum;
        image.setPixel(static_cast<int>(i) + 1, 0,
                       qRgb(std::min(s, 255), std::clamp(s - 255, 0, 255), std::max(s - 510, 0)));
    }
    return image;
}

void ExpectGrey(TExplorerButtonShadingType type, const std::vector<GreyCase>& cases) {
    const QImage grey = GreyImage(SumsImage(cases), type);
    EXPECT_EQ(grey.pixel(0, 0), qRgb(0, 255, 0));
    // The key colour stays wherever it is, although its sum (255) is not small.
    EXPECT_EQ(grey.pixel(static_cast<int>(cases.size()) + 1, 0), qRgb(0, 255, 0));
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(grey.pixel(static_cast<int>(i) + 1, 0), cases[i].Expected)
            << "sum " << cases[i].Sum << " type " << static_cast<int>(type);
    }
}

TEST(ExplorerGreyImage, ThresholdsOfTheThreeShadingTypes) {
    // Highlight and shadow in colours of their own, so every step shows.
    ResetSysColors();
    SetSysColor(20, 0x00E0D0C0); // button highlight
    SetSysColor(16, 0x00402010); // button shadow
    const QRgb h = qRgb(0xC0, 0xD0, 0xE0);
    const QRgb s = qRgb(0x10, 0x20, 0x40);
    using enum TExplorerButtonShadingType;
    ExpectGrey(stLight, {{765, kWhite},
                         {206, kWhite},
                         {205, h},
                         {128, h},
                         {127, s},
                         {69, s},
                         {68, kBlack},
                         {0, kBlack}});
    ExpectGrey(stMedium, {{554, kWhite}, {553, h}, {232, h}, {231, s}, {58, s}, {57, kBlack}});
    ExpectGrey(stDark, {{336, kWhite}, {335, h}, {275, h}, {274, s}, {176, s}, {175, kBlack}});
    ResetSysColors();
}

TEST(ExplorerGreyImage, AnEmptyBitmapGivesAnEmptyImage) {
    EXPECT_TRUE(GreyImage(QImage(), TExplorerButtonShadingType::stMedium).isNull());
}

TEST_F(ExplorerButtonTest, GreyImageFollowsBitmapAndShadingWhileNoNoFocusImage) {
    auto* plain = AddButton(40, 10);
    plain->SetBitmap(Square(qRgb(80, 80, 80)));         // sum 240
    EXPECT_EQ(plain->GreyBitmap().pixel(4, 4), kWhite); // stMedium: above 231
    plain->SetShadingType(TExplorerButtonShadingType::stDark);
    EXPECT_EQ(plain->GreyBitmap().pixel(4, 4), kShadow); // stDark: not above 274
    // With a no-focus image the stored grey image is left alone.
    plain->SetNoFocusBitmap(Square(kGreyish));
    plain->SetShadingType(TExplorerButtonShadingType::stLight);
    EXPECT_EQ(plain->GreyBitmap().pixel(4, 4), kShadow);
    EXPECT_EQ(Look(plain).pixel(3 + 4, 3 + 4), kGreyish);
}

// ---- mouse ----

TEST_F(ExplorerButtonTest, DraggingOffAndReleasingFiresNoClick) {
    int entered = 0;
    int left = 0;
    button->OnEnter = [&] { ++entered; };
    button->OnExit = [&] { ++left; };
    QTest::mouseMove(button, QPoint(11, 11));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(11, 11));
    QTest::mouseMove(button, QPoint(60, 40));
    EXPECT_FALSE(button->Hot());
    // Dragged off, the button looks as at rest.
    ExpectNoFrame(Look());
    EXPECT_EQ(Look().pixel(3 + 4, 3 + 4), kGreyish);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(60, 40));
    EXPECT_TRUE(clicked.empty());
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);

    // Dragging back on before the release still clicks.
    QTest::mouseMove(button, QPoint(11, 11));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(11, 11));
    QTest::mouseMove(button, QPoint(60, 40));
    QTest::mouseMove(button, QPoint(12, 12));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(clicked.size(), 1u);
}

TEST_F(ExplorerButtonTest, TheRightButtonDoesNotClick) {
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(11, 11));
    EXPECT_TRUE(clicked.empty());
    EXPECT_FALSE(button->Pressed());
}

// ---- groups ----

TEST_F(ExplorerButtonTest, GroupsKeepOneButtonDown) {
    auto* second = AddButton(40, 10);
    auto* third = AddButton(70, 10);
    auto* other = AddButton(100, 10);
    for (auto* b : {button, second, third}) {
        b->SetGroupIndex(1);
    }
    other->SetGroupIndex(2);
    other->SetDown(true);

    Click(button);
    EXPECT_TRUE(button->Down());
    Click(second);
    EXPECT_TRUE(second->Down());
    EXPECT_FALSE(button->Down());
    EXPECT_FALSE(third->Down());
    EXPECT_TRUE(other->Down()); // another group is left alone
    EXPECT_EQ(clicked.size(), 2u);

    // Without AllowAllUp a down button stays down; the click still fires.
    Click(second);
    EXPECT_TRUE(second->Down());
    EXPECT_EQ(clicked.size(), 3u);

    // AllowAllUp spreads to the whole group.
    third->SetAllowAllUp(true);
    EXPECT_TRUE(button->AllowAllUp() && second->AllowAllUp());
    EXPECT_FALSE(other->AllowAllUp());
    Click(second);
    EXPECT_FALSE(second->Down());

    // Setting Down in code releases the others too.
    third->SetDown(true);
    button->SetDown(true);
    EXPECT_FALSE(third->Down());

    // Leaving the group brings the button up.
    button->SetGroupIndex(0);
    EXPECT_FALSE(button->Down());
}

TEST_F(ExplorerButtonTest, DownNeedsAGroup) {
    button->SetDown(true);
    EXPECT_FALSE(button->Down());
    Click(button);
    EXPECT_FALSE(button->Down());
}

TEST_F(ExplorerButtonTest, GroupsAreCountedPerParent) {
    QWidget panel(host.get());
    panel.setGeometry(0, 50, 200, 50);
    auto* elsewhere = new TExplorerButton(&panel);
    elsewhere->SetGroupIndex(1);
    elsewhere->SetDown(true);
    button->SetGroupIndex(1);
    button->SetDown(true);
    EXPECT_TRUE(elsewhere->Down());
}

// ---- caption, hint, accelerator ----

TEST(ExplorerHint, AcceleratorMarksAreTakenOut) {
    EXPECT_EQ(StripAccelerators("&&Save && E&xit&"), "&Save & Exit&");
    EXPECT_EQ(StripAccelerators("&OK"), "OK");
    EXPECT_EQ(StripAccelerators("a&b"), "ab");
    EXPECT_EQ(StripAccelerators("&"), "&");
    EXPECT_EQ(StripAccelerators("x&"), "x&");
    EXPECT_EQ(StripAccelerators("&&&"), "&&");
    EXPECT_EQ(StripAccelerators(""), "");
}

TEST_F(ExplorerButtonTest, IconOnlyTurnsTheCaptionIntoTheHint) {
    button->SetCaption("&&Save && E&xit&");
    button->SetOptions({boIconOnly, boShowBevel});
    EXPECT_EQ(button->Hint(), "&Save & Exit&");
    EXPECT_TRUE(button->ShowHint());
    button->SetCaption("&Print");
    EXPECT_EQ(button->Hint(), "Print");

    button->SetOptions({boShowBevel});
    EXPECT_EQ(button->Hint(), "");
    EXPECT_FALSE(button->ShowHint());

    // A hint of the user's own survives both ways.
    button->SetHint("Prints the file");
    button->SetShowHint(true);
    button->SetOptions({boIconOnly});
    EXPECT_EQ(button->Hint(), "Prints the file");
    button->SetOptions({});
    EXPECT_EQ(button->Hint(), "Prints the file");
    EXPECT_TRUE(button->ShowHint());
}

TEST_F(ExplorerButtonTest, IconOnlyHidesTheCaption) {
    button->SetBitmap({});
    button->SetNoFocusBitmap({});
    button->resize(60, 22);
    button->SetCaption("WWW");
    button->SetFontColor(0x000000);
    button->SetUnselectedFontColor(0x000000);
    auto hasInk = [this] {
        const QImage look = Look();
        for (int y = 0; y < look.height(); ++y) {
            for (int x = 0; x < look.width(); ++x) {
                if (qGreen(look.pixel(x, y)) < 64) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_TRUE(hasInk());
    button->SetOptions({boIconOnly});
    EXPECT_FALSE(hasInk());
}

TEST_F(ExplorerButtonTest, TheAcceleratorClicks) {
    button->SetCaption("&Go");
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    QTest::keyClick(host.get(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicked.size(), 1u);
    EXPECT_FALSE(button->Pressed());

    button->SetEnabled(false);
    QTest::keyClick(host.get(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicked.size(), 1u);
}

TEST_F(ExplorerButtonTest, ALongCaptionIsCutToTheButton) {
    button->SetBitmap({});
    button->SetNoFocusBitmap({});
    button->resize(40, 22);
    button->SetCaption("A caption far wider than the button");
    const TExplorerLayoutResult layout = button->ComputeLayout();
    EXPECT_EQ(layout.TextRect.width(), 36);
    EXPECT_EQ(layout.TextRect.x(), 2);
}

// ---- popup mark and drop-down menu ----

TEST_F(ExplorerButtonTest, PopupMarkBesideTheBitmapPixelByPixel) {
    QMenu menu;
    menu.addAction("One");
    button->resize(40, 22);
    button->SetDropDownMenu(&menu);
    // Bitmap block 26 wide centred: bitmap at (7,3); mark reference (26,11).
    const QImage look = Look();
    EXPECT_EQ(look.pixel(7 + 4, 3 + 4), kGreyish);
    const std::vector<std::pair<int, int>> rows = {{10, 26}, {11, 27}, {12, 28}, {13, 29}};
    const int widths[] = {7, 5, 3, 1};
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto [y, x0] = rows[r];
        EXPECT_EQ(look.pixel(x0 - 1, y), kBackground) << y;
        for (int x = x0; x < x0 + widths[r]; ++x) {
            EXPECT_EQ(look.pixel(x, y), kBlack) << x << "," << y;
        }
        EXPECT_EQ(look.pixel(x0 + widths[r], y), kBackground) << y;
    }
    EXPECT_EQ(look.pixel(29, 14), kBackground);

    // Without boPopupMark there is no mark.
    button->SetOptions({boMonoDisplay, boShowBevel});
    EXPECT_EQ(Look().pixel(29, 13), kBackground);
}

TEST_F(ExplorerButtonTest, TheDropDownMenuOpensInsteadOfAClick) {
    QMenu menu;
    menu.addAction("One");
    button->SetDropDownMenu(&menu);
    int shown = 0;
    QPoint at;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        ++shown;
        QTimer::singleShot(0, &menu, [&] {
            at = menu.pos();
            menu.close();
        });
    });
    QTest::mouseMove(button, QPoint(11, 11));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(clicked.empty());
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(at, button->mapToGlobal(QPoint(0, 22)));
}

TEST_F(ExplorerButtonTest, AClickOnTheButtonWhileItsMenuIsOpenOnlyClosesIt) {
    QMenu menu;
    menu.addAction("One");
    button->SetDropDownMenu(&menu);
    int shown = 0;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        ++shown;
        QTimer::singleShot(0, button, [&] {
            // Through the window system, as a real click comes.
            QTest::mouseClick(host->windowHandle(), Qt::LeftButton, {},
                              button->geometry().center());
            // Should the click not reach the menu, the test must still end.
            QTimer::singleShot(200, &menu, [&] { menu.close(); });
        });
    });
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(11, 11));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(11, 11));
    QTest::qWait(50);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_FALSE(button->Pressed());
    EXPECT_TRUE(clicked.empty());
}

TEST_F(ExplorerButtonTest, AMenuGoingAwayClearsTheReference) {
    auto menu = std::make_unique<QMenu>();
    button->SetDropDownMenu(menu.get());
    menu.reset();
    EXPECT_EQ(button->DropDownMenu(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_EQ(clicked.size(), 1u);
}

} // namespace
