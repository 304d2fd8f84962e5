// The about box as a screen reader reads and works it: its links, its texts
// and OK; and its links reached with Tab.

#include "settings/AboutAccessible.h"

#include "platform/SysColors.h"
#include "settings/About.h"
#include "tests/settings/dialogs/UrlHandlers.h"
#include "widgets/explbtn/ExplorerAccessible.h"
#include "widgets/explbtn/explbtn.h"

#include <QAccessible>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QAccessibleInterface* DialogFactory(const QString& className, QObject* object) {
    if (QAccessibleInterface* link = LinkLabelAccessible(className, object)) {
        return link;
    }
    return ExplorerButtonAccessible(className, object);
}

class AboutAccessibleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QAccessible::installFactory(DialogFactory); }
    static void TearDownTestSuite() { QAccessible::removeFactory(DialogFactory); }
    void SetUp() override {
        ResetSysColors();
        box.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        box.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    }
    static QAccessibleInterface* Of(QObject* object) {
        return QAccessible::queryAccessibleInterface(object);
    }
    static void Press(QObject* object) {
        Of(object)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QApplication::processEvents();
    }

    TRecordingHandler handler;
    TqdAboutBox box;
};

TEST_F(AboutAccessibleTest, LinksAreLinksThatFollowWhenPressed) {
    QAccessibleInterface* mail = Of(box.lbEMail2);
    QAccessibleInterface* web = Of(box.lbWWW2);
    EXPECT_EQ(mail->role(), QAccessible::Link);
    EXPECT_EQ(web->role(), QAccessible::Link);
    EXPECT_EQ(mail->text(QAccessible::Name), "lumivane@example.org");
    EXPECT_EQ(mail->text(QAccessible::Description), "mailto:lumivane@example.org");
    EXPECT_EQ(web->text(QAccessible::Name), box.lbWWW2->text());
    EXPECT_TRUE(web->text(QAccessible::Description).startsWith("http://"));
    EXPECT_TRUE(mail->state().linked);
    EXPECT_TRUE(
        mail->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

    Press(box.lbEMail2);
    Press(box.lbWWW2);
    ASSERT_EQ(handler.Opened.size(), 2);
    EXPECT_EQ(handler.Opened[0], "mailto:lumivane@example.org");
    EXPECT_EQ(handler.Opened[1], box.lbWWW2->text());
    EXPECT_TRUE(box.isVisible());
}

TEST_F(AboutAccessibleTest, TextsAreLabelsAndOkIsAPushButton) {
    for (QLabel* label : {box.lbProgName, box.lbProgVersion, box.lbCopyright, box.lbEMail1}) {
        EXPECT_EQ(Of(label)->role(), QAccessible::StaticText);
        EXPECT_EQ(Of(label)->text(QAccessible::Name), label->text());
    }
    QAccessibleInterface* ok = Of(box.ExplorerButton1);
    EXPECT_EQ(ok->role(), QAccessible::PushButton);
    EXPECT_EQ(ok->text(QAccessible::Name), "OK"); // "&OK" without its mark
    Press(box.ExplorerButton1);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST_F(AboutAccessibleTest, OpeningShowsNoFocusFrame) {
    ASSERT_TRUE(box.lbEMail2->hasFocus()); // the first control, as the box opens
    const QImage opened = box.lbEMail2->grab().toImage();
    box.lbWWW2->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(box.lbEMail2->grab().toImage(), opened);
}

TEST_F(AboutAccessibleTest, TabReachesTheLinksAndEnterFollowsThem) {
    const QImage rest = box.lbWWW2->grab().toImage();
    // The box opens with the focus on the first link, quietly: Enter starts
    // nothing and no frame shows.
    QTest::keyClick(box.windowHandle(), Qt::Key_Return);
    EXPECT_TRUE(handler.Opened.isEmpty());

    box.lbEMail2->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(box.lbEMail2, Qt::Key_Tab);
    ASSERT_TRUE(box.lbWWW2->hasFocus());
    EXPECT_NE(box.lbWWW2->grab().toImage(), rest); // the focus frame
    QTest::keyClick(box.lbWWW2, Qt::Key_Space);
    ASSERT_EQ(handler.Opened.size(), 1);
    EXPECT_EQ(handler.Opened[0], box.lbWWW2->text());
    QTest::keyClick(box.lbWWW2, Qt::Key_Tab);
    EXPECT_EQ(box.lbWWW2->grab().toImage(), rest);
}

} // namespace
