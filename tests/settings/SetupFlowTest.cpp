// Setup from the main window: the modal dialog is answered from a timer, as a
// user would answer it, and the next open shows what was saved.
#include "settings/ColorGrd.h"
#include "settings/Placement.h"
#include "settings/Setup.h"
#include "tests/viewer/app/WindowTestSupport.h"
#include "widgets/TB97/ToolbarButton97.h"

#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace {

struct SetupFlowTest : WindowTest {
    // Runs ANSWER on the setup dialog once it is up and modal; true when it
    // ran. BYBUTTON: the toolbar's Setup button is clicked, else the handler runs.
    bool RunSetup(std::function<void(TfrmSetup&)> answer, bool byButton = false) {
        bool answered = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* setup = qobject_cast<TfrmSetup*>(QApplication::activeModalWidget());
            if (setup == nullptr || answered) {
                return;
            }
            answered = true;
            poll.stop();
            answer(*setup);
        });
        poll.start();
        if (byButton) {
            QTest::mouseClick(window->tbSetup, Qt::LeftButton, {}, QPoint(11, 11));
        } else {
            Run(&TfrmMain::tbSetupClick); // guarded, as the button runs it
        }
        return answered;
    }

    static void Pick(TfrmSetup& setup, const QString& slot, int cell) {
        const auto found = setup.lbPascal->findItems(slot, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        setup.lbPascal->setCurrentItem(found.front());
        QTest::mouseClick(setup.cgPascal, Qt::LeftButton, {},
                          setup.cgPascal->CellRect(cell).center());
    }

    static int SetupDialogs() {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            count += qobject_cast<TfrmSetup*>(widget) != nullptr ? 1 : 0;
        }
        return count;
    }

    void Open(const std::string& file) {
        answer = QString::fromStdString(file);
        Run(&TfrmMain::tbOpenClick);
    }

    std::string Source() const {
        return WriteFile("prog.pas", "program P;\nbegin\n  s := 'text';\nend.\n");
    }
};

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

TEST_F(SetupFlowTest, APickSavedInSetupShowsAtTheNextOpen) {
    ASSERT_TRUE(TRegistry().OpenKey(kProductKey, true));
    Create();
    Show();
    const std::string file = Source();
    Open(file);
    ASSERT_EQ(ColourOf("'text'"), kRed);

    ASSERT_TRUE(RunSetup(
        [](TfrmSetup& setup) {
            Pick(setup, "String", 12);
            setup.btnSave->click();
        },
        true));
    EXPECT_EQ(SetupDialogs(), 0);        // destroyed when it closed
    EXPECT_EQ(ColourOf("'text'"), kRed); // nothing is converted again
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(errors.isEmpty());

    Open(file);
    EXPECT_EQ(ColourOf("'text'"), kBlue);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\QD\\Lumivane\\Pascal", false));
    EXPECT_EQ(registry.ReadString("clString"), "clBlue");
}

TEST_F(SetupFlowTest, ACancelledPickDoesNotShowAtTheNextOpen) {
    Create();
    Show();
    ASSERT_TRUE(RunSetup([](TfrmSetup& setup) {
        Pick(setup, "String", 12);
        setup.btnCancel->click();
    }));
    EXPECT_EQ(SetupDialogs(), 0);
    Open(Source());
    EXPECT_EQ(ColourOf("'text'"), kRed);
    EXPECT_FALSE(std::filesystem::exists(Path("user.reg")));
}

TEST_F(SetupFlowTest, TheInstallMessageAndStoreErrorsGoThroughTheMainWindow) {
    Create();
    Show();
    ASSERT_TRUE(RunSetup([](TfrmSetup& setup) {
        setup.btnSavePosition->click();
        setup.close();
    }));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messageIcons.front(), QMessageBox::Critical);
    EXPECT_EQ(messages.front(), "Lumivane 98 not installed.\nPlease run install first.");

    // A corrupt store: the program's error box reports it, and the dialog still opens.
    WriteFile("user.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\n");
    ASSERT_TRUE(RunSetup([](TfrmSetup& setup) {
        EXPECT_EQ(setup.lbPascal->count(), 0);
        setup.btnCancel->click();
    }));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains("user.reg")) << errors.front().toStdString();
}

TEST_F(SetupFlowTest, SavePositionRecordsTheMainWindowsBounds) {
    ASSERT_TRUE(TRegistry().OpenKey(kProductKey, true));
    Create();
    Show();
    window->SetLeft(60);
    window->SetTop(40);
    window->SetWidth(500);
    window->SetHeight(380);
    ASSERT_TRUE(RunSetup([](TfrmSetup& setup) {
        setup.btnSavePosition->click();
        setup.btnCancel->click();
    }));
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kPositionKey, false));
    EXPECT_EQ(registry.ReadInteger("X1"), 60);
    EXPECT_EQ(registry.ReadInteger("Y1"), 40);
    EXPECT_EQ(registry.ReadInteger("X2"), 500);
    EXPECT_EQ(registry.ReadInteger("Y2"), 380);
}

} // namespace
