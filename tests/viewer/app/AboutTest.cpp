// The main window's about command: the box comes up modal, owned by the
// window, and goes once OK has closed it.

#include "settings/About.h"

#include "WindowTestSupport.h"
#include "widgets/explbtn/explbtn.h"

#include <QTimer>

namespace {

using AboutTest = WindowTest;

TEST_F(AboutTest, AboutOpensTheBoxAndOkClosesIt) {
    Create();
    Show();
    TqdAboutBox* seen = nullptr;
    bool modal = false;
    QTimer::singleShot(0, window.get(), [&] {
        seen = qobject_cast<TqdAboutBox*>(QApplication::activeModalWidget());
        if (seen == nullptr) {
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close(); // not ours; let the test end
            }
            return;
        }
        modal = seen->isModal() && seen->isVisible();
        EXPECT_EQ(seen->parentWidget(), window.get());
        QTest::mouseClick(seen->ExplorerButton1, Qt::LeftButton, {}, QPoint(12, 12));
    });
    Run(&TfrmMain::ebAboutClick);
    EXPECT_NE(seen, nullptr);
    EXPECT_TRUE(modal);
    // Closed and gone.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window->findChildren<TqdAboutBox*>().isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

} // namespace
