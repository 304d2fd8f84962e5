// The about box as laid out, its links against recording handlers, and OK.

#include "UrlHandlers.h"
#include "platform/SysColors.h"
#include "settings/About.h"
#include "settings/NetGradient.h"
#include "settings/URL.h"
#include "widgets/explbtn/explbtn.h"

#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSysColors(); }

    void ShowBox() {
        box.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    }

    QImage Look() { return box.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TRecordingHandler handler;
    TqdAboutBox box;
};

TEST_F(AboutBoxTest, FormAsDesigned) {
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(box.size(), QSize(313, 247));

    EXPECT_EQ(box.NetGradient1->geometry(), QRect(0, 0, 313, 247));
    EXPECT_EQ(box.NetGradient1->BeginColor(), 0x808080u);
    EXPECT_EQ(box.NetGradient1->EndColor(), 0x8000000Fu);
    EXPECT_EQ(box.NetGradient1->Caption(), " ");
    EXPECT_EQ(box.NetGradient1->NumberOfColors(), 255);
    EXPECT_TRUE(box.NetGradient1->font().bold());

    EXPECT_EQ(box.lbProgName->text(), "Lumivane 98");
    EXPECT_EQ(box.lbProgName->pos(), QPoint(24, 8));
    EXPECT_EQ(box.lbProgName->font().pixelSize(), 19);
    EXPECT_TRUE(box.lbProgName->font().bold());
    EXPECT_EQ(box.lbProgVersion->text(), "Release: 98.3");
    EXPECT_EQ(box.lbProgVersion->y(), 16);
    EXPECT_EQ(box.lbProgVersion->x() + box.lbProgVersion->width(), 290);
    EXPECT_EQ(box.lbCopyright->pos(), QPoint(24, 48));
    EXPECT_TRUE(box.lbCopyright->text().startsWith(u"Copyright \u00A9"));
    EXPECT_EQ(box.lbEMail1->text(), "email:");
    EXPECT_EQ(box.lbEMail2->pos(), QPoint(56, 64));
    EXPECT_EQ(box.lbEMail2->text(), "lumivane@example.org");
    EXPECT_EQ(box.lbWWW1->text(), "www:");
    EXPECT_EQ(box.lbWWW2->pos(), QPoint(56, 80));
    EXPECT_EQ(box.lbWWW2->text(), "http://lumivane.example.org/");
    for (QLabel* link : {static_cast<QLabel*>(box.lbEMail2), static_cast<QLabel*>(box.lbWWW2)}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    }
    EXPECT_EQ(box.bvlSeperator->geometry(), QRect(24, 208, 265, 9));
    EXPECT_EQ(box.ExplorerButton1->geometry(), QRect(264, 216, 25, 25));
    EXPECT_EQ(box.ExplorerButton1->Caption(), "&OK");
    using enum TExplorerButtonOption;
    EXPECT_EQ(box.ExplorerButton1->Options(),
              (TExplorerButtonOptions{boMonoDisplay, boPopupMark, boShowBevel}));
}

TEST_F(AboutBoxTest, GradientShowsThroughAndTheBevelIsRaised) {
    ShowBox();
    const QImage look = Look();
    EXPECT_EQ(look.pixel(0, 150), qRgb(128, 128, 128));
    EXPECT_EQ(look.pixel(312, 150), qRgb(192, 192, 192));
    // Between the lines of text the gradient is untouched.
    EXPECT_EQ(look.pixel(1, 60), qRgb(128, 128, 128));
    // The separator: a light line over a dark one, gradient below.
    for (int x : {24, 150, 288}) {
        EXPECT_EQ(look.pixel(x, 208), qRgb(255, 255, 255)) << x;
        EXPECT_EQ(look.pixel(x, 209), qRgb(128, 128, 128)) << x;
    }
    EXPECT_NE(look.pixel(23, 208), qRgb(255, 255, 255));
    EXPECT_NE(look.pixel(289, 208), qRgb(255, 255, 255));
}

TEST_F(AboutBoxTest, CentredOnTheScreen) {
    ShowBox();
    const QRect screen = box.screen()->availableGeometry();
    EXPECT_LE(std::abs(box.geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(box.geometry().center().y() - screen.center().y()), 1);
}

TEST_F(AboutBoxTest, TheLinksOpenMailAndWeb) {
    ShowBox();
    QTest::mouseClick(box.lbEMail2, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(box.lbWWW2, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(handler.Opened.size(), 2);
    EXPECT_EQ(handler.Opened[0], "mailto:lumivane@example.org");
    // The web link opens exactly what its label shows.
    EXPECT_EQ(handler.Opened[1], box.lbWWW2->text());
    EXPECT_EQ(box.URL1->URLType(), TURLType::utHttp);
    EXPECT_EQ(box.URL1->URL(), "lumivane.example.org/");
    // Other buttons and labels start nothing.
    QTest::mouseClick(box.lbEMail2, Qt::RightButton, {}, QPoint(3, 3));
    QTest::mouseClick(box.lbCopyright, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(handler.Opened.size(), 2);
    EXPECT_TRUE(box.isVisible());
}

TEST_F(AboutBoxTest, AFailedLinkLeavesTheBoxOpenAndQuiet) {
    handler.Fail();
    ShowBox();
    QTest::mouseClick(box.lbWWW2, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), &box);
}

TEST_F(AboutBoxTest, OkClosesTheBox) {
    ShowBox();
    QTest::mouseClick(box.ExplorerButton1, Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST_F(AboutBoxTest, AltOClosesTheBox) {
    ShowBox();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    // Through the window system, as a real key comes.
    QTest::keyClick(box.windowHandle(), Qt::Key_O, Qt::AltModifier);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

} // namespace
