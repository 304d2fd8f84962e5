// The main window's About button: quiet at rest, lit under the mouse, and its
// click brings up the about box modal, owned by the window, gone once OK has
// closed it.

#include "settings/About.h"

#include "platform/SysColors.h"
#include "platform/qt/QtColor.h"
#include "tests/viewer/app/WindowTestSupport.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/explbtn/explbtn.h"

#include <QTimer>

namespace {

struct AboutTest : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        Create();
        Show();
        // The pointer starts away from the toolbar.
        QTest::mouseMove(window.get(), QPoint(400, 300));
    }

    // The About button as it shows on the toolbar, 22 x 22.
    QImage Look() const {
        return window->Toolbar971->grab(window->ebAbout->geometry())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    static QRgb System(int index) { return ToQColor(kSystemColorFlag | index).rgb(); }

    // Runs CLOSE on the about box as soon as the click has brought it up;
    // reports what it found.
    struct Seen {
        TqdAboutBox* Box = nullptr;
        bool Modal = false;
        QWidget* Owner = nullptr;
    };
    void WhenTheBoxIsUp(Seen& seen, std::function<void(TqdAboutBox&)> close) {
        QTimer::singleShot(0, window.get(), [&seen, close] {
            QWidget* modal = QApplication::activeModalWidget();
            seen.Box = qobject_cast<TqdAboutBox*>(modal);
            if (seen.Box == nullptr) {
                if (modal != nullptr) {
                    modal->close(); // not ours; let the test end
                }
                return;
            }
            seen.Modal = seen.Box->isModal() && seen.Box->isVisible();
            seen.Owner = seen.Box->parentWidget();
            close(*seen.Box);
        });
    }

    void ExpectClosedAndGone(const Seen& seen) {
        EXPECT_NE(seen.Box, nullptr);
        EXPECT_TRUE(seen.Modal);
        EXPECT_EQ(seen.Owner, window.get());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_TRUE(window->findChildren<TqdAboutBox*>().isEmpty());
        EXPECT_TRUE(errors.isEmpty());
    }
};

TEST_F(AboutTest, TheButtonStandsAfterTheLastSeparator) {
    TExplorerButton* about = window->ebAbout;
    EXPECT_EQ(about->parentWidget(), window->Toolbar971);
    EXPECT_EQ(about->geometry(), QRect(179, 2, 22, 22));
    EXPECT_EQ(about->Hint(), "About");
    using enum TExplorerButtonOption;
    EXPECT_EQ(about->Options(), (TExplorerButtonOptions{boMonoDisplay, boPopupMark, boShowBevel}));
    EXPECT_EQ(about->Bitmap().size(), QSize(16, 16));
    EXPECT_EQ(about->NoFocusBitmap().size(), QSize(16, 16));
    EXPECT_EQ(about->GreyBitmap().size(), QSize(16, 16));
    EXPECT_TRUE(about->Caption().isEmpty());
    EXPECT_EQ(about->DropDownMenu(), nullptr);
}

TEST_F(AboutTest, QuietAtRestLitUnderTheMouse) {
    TExplorerButton* about = window->ebAbout;
    const QRgb face = System(15);
    // At rest: the no-focus picture at (3,3), no frame.
    QImage look = Look();
    EXPECT_EQ(look.pixel(0, 0), face);
    EXPECT_EQ(look.pixel(21, 21), face);
    EXPECT_EQ(look.pixel(3, 3), face); // the picture's see-through corner
    EXPECT_EQ(look.pixel(3 + 5, 3 + 5), about->NoFocusBitmap().pixel(5, 5));
    EXPECT_NE(about->NoFocusBitmap().pixel(5, 5), about->Bitmap().pixel(5, 5));

    // Under the mouse: the picture itself and a raised one-pixel bevel.
    QTest::mouseMove(about, QPoint(11, 11));
    look = Look();
    EXPECT_EQ(look.pixel(0, 0), System(20));
    EXPECT_EQ(look.pixel(0, 20), System(20));
    EXPECT_EQ(look.pixel(21, 0), System(16));
    EXPECT_EQ(look.pixel(21, 21), System(16));
    EXPECT_EQ(look.pixel(3 + 5, 3 + 5), about->Bitmap().pixel(5, 5));

    // Pressed: sunken, and the picture one pixel right and down.
    QTest::mousePress(about, Qt::LeftButton, {}, QPoint(11, 11));
    look = Look();
    EXPECT_EQ(look.pixel(0, 0), System(16));
    EXPECT_EQ(look.pixel(21, 21), System(20));
    EXPECT_EQ(look.pixel(4 + 5, 4 + 5), about->Bitmap().pixel(5, 5));
    // Dragged off and let go: no about box.
    QTest::mouseMove(about, QPoint(60, 11));
    QTest::mouseRelease(about, Qt::LeftButton, {}, QPoint(60, 11));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AboutTest, TheButtonOpensTheBoxAndOkClosesIt) {
    Seen seen;
    WhenTheBoxIsUp(seen, [](TqdAboutBox& box) {
        QTest::mouseClick(box.ExplorerButton1, Qt::LeftButton, {}, QPoint(12, 12));
    });
    QTest::mouseClick(window->ebAbout, Qt::LeftButton, {}, QPoint(11, 11));
    ExpectClosedAndGone(seen);
}

TEST_F(AboutTest, TheCommandOpensTheBoxAndAltOClosesIt) {
    Seen seen;
    WhenTheBoxIsUp(seen, [](TqdAboutBox& box) {
        box.activateWindow();
        if (QTest::qWaitForWindowActive(&box)) {
            // Through the window system, as a real key comes.
            QTest::keyClick(box.windowHandle(), Qt::Key_O, Qt::AltModifier);
        }
        if (box.isVisible()) {
            ADD_FAILURE() << "Alt+O left the box open";
            box.reject();
        }
    });
    Run(&TfrmMain::ebAboutClick);
    ExpectClosedAndGone(seen);
}

} // namespace
