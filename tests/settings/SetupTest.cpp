// The setup dialog over a real store file in a temporary folder; only the
// main window is stood in for, by fixed bounds.
#include "settings/Setup.h"

#include "engine/ColorScheme.h"
#include "engine/PascalParser.h"
#include "platform/Registry.h"
#include "settings/ColorGrd.h"
#include "settings/Placement.h"
#include "tests/platform/TempStore.h"

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <exception>
#include <gmock/gmock.h>
#include <memory>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

struct FixedWindow : TPlacementWindow {
    void SetPosition(Position) override {}
    void SetWindowState(State) override {}
    void SetLeft(int) override {}
    void SetTop(int) override {}
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    int Left() const override { return 40; }
    int Top() const override { return 30; }
    int Width() const override { return 700; }
    int Height() const override { return 500; }
};

const char* const kPascalKey = "Software\\QD\\Lumivane\\Pascal";

class SetupTest : public TempStoreTest {
protected:
    FixedWindow mainWindow;
    std::unique_ptr<TfrmSetup> dialog;
    std::vector<std::string> errors;
    std::vector<std::string> messages;

    void SetUp() override {
        TempStoreTest::SetUp();
        for (size_t i = 0; i < ColorSlots.size(); ++i) {
            ColorSlots[i].Color = kDefaultSlotColors[i];
        }
    }

    void TearDown() override {
        dialog.reset();
        TempStoreTest::TearDown();
    }

    TfrmSetup& Open() {
        dialog = std::make_unique<TfrmSetup>(mainWindow, [this] {
            try {
                std::rethrow_exception(std::current_exception());
            } catch (const std::exception& error) {
                errors.push_back(error.what());
            }
        });
        dialog->ShowMessage = [this](QMessageBox::Icon icon, const QString& text) {
            EXPECT_EQ(icon, QMessageBox::Critical);
            messages.push_back(text.toStdString());
        };
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }

    static void Install() { ASSERT_TRUE(TRegistry().OpenKey(kProductKey, true)); }

    void StorePascal(const std::string& values) {
        WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Pascal]\n" + values);
    }

    // The stored text of a colour value, "<none>" when it is not there.
    static std::string StoredColor(const std::string& name) {
        TRegistry registry;
        if (!registry.OpenKey(kPascalKey, false) || !registry.ValueExists(name)) {
            return "<none>";
        }
        return registry.ReadString(name);
    }
    static std::vector<std::string> StoredNames(const char* key) {
        TRegistry registry;
        return registry.OpenKey(key, false) ? registry.GetValueNames() : std::vector<std::string>{};
    }
    static std::int32_t StoredInteger(const std::string& name) {
        TRegistry registry;
        EXPECT_TRUE(registry.OpenKey(kPositionKey, false));
        return registry.ReadInteger(name);
    }

    void Select(const QString& displayName) {
        const auto found = dialog->lbPascal->findItems(displayName, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        dialog->lbPascal->setCurrentItem(found.front());
    }
    void Pick(int cell) {
        TColorGrid& grid = *dialog->cgPascal;
        QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(cell).center());
    }
    QStringList ListItems() const {
        QStringList items;
        for (int i = 0; i < dialog->lbPascal->count(); ++i) {
            items << dialog->lbPascal->item(i)->text();
        }
        return items;
    }
    bool Closed() const { return !dialog->isVisible(); }
};

// ---- the form ----

TEST_F(SetupTest, TheFormAsDesigned) {
    TfrmSetup& form = Open();
    EXPECT_EQ(form.windowTitle(), "Setup");
    EXPECT_EQ(form.size(), QSize(336, 160));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // fixed border
    EXPECT_EQ(form.PageControl1->geometry(), QRect(0, 0, 249, 160));
    ASSERT_EQ(form.PageControl1->count(), 2);
    EXPECT_EQ(form.PageControl1->tabText(0), "Program");
    EXPECT_EQ(form.PageControl1->tabText(1), "Pascal");
    EXPECT_EQ(form.PageControl1->currentWidget(), form.tsPascal);

    EXPECT_EQ(form.rbStartDefault->text(), "start with default position");
    EXPECT_EQ(form.rbStartFull->text(), "start as fullscreen");
    EXPECT_EQ(form.rbStartSaved->text(), "start with saved position");
    EXPECT_EQ(form.rbStartDefault->geometry(), QRect(16, 8, 145, 17));
    EXPECT_EQ(form.rbStartFull->geometry(), QRect(16, 32, 113, 17));
    EXPECT_EQ(form.rbStartSaved->geometry(), QRect(16, 56, 145, 17));
    EXPECT_TRUE(form.rbStartDefault->isChecked());
    EXPECT_EQ(form.btnSavePosition->text(), "save position");
    EXPECT_EQ(form.btnSavePosition->geometry(), QRect(16, 88, 209, 33));
    EXPECT_EQ(form.lbPascal->geometry(), QRect(16, 16, 100, 100));
    EXPECT_EQ(form.cgPascal->geometry(), QRect(128, 16, 100, 100));
    EXPECT_FALSE(form.cgPascal->BackgroundEnabled());
    EXPECT_FALSE(form.cgPascal->TabStop());
    EXPECT_FALSE(form.cgPascal->ClickEnablesColor());
    EXPECT_EQ(form.cgPascal->GridOrdering(), go4x4);
    EXPECT_EQ(form.btnSave->geometry(), QRect(256, 20, 75, 25));
    EXPECT_EQ(form.btnCancel->geometry(), QRect(256, 56, 75, 25));
    EXPECT_EQ(form.btnSave->text(), "Save");
    EXPECT_EQ(form.btnCancel->text(), "Cancel");
    for (QPushButton* button : {form.btnSave, form.btnCancel, form.btnSavePosition}) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }

    // Centred on the screen.
    const QPoint centre = form.screen()->availableGeometry().center();
    EXPECT_LE((form.frameGeometry().center() - centre).manhattanLength(), 4);

    // The list sorts itself and opens on its first entry.
    EXPECT_EQ(ListItems(), QStringList({"Assembler", "Background", "Comment", "Foreground",
                                        "Keyword", "Number", "String"}));
    ASSERT_EQ(form.lbPascal->selectedItems().size(), 1);
    EXPECT_EQ(form.lbPascal->selectedItems().front()->text(), "Assembler");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 2); // green
    EXPECT_THAT(errors, IsEmpty());
}

TEST_F(SetupTest, TheTabOrderRunsThroughThePagesThenTheButtons) {
    TfrmSetup& form = Open();
    // The grid is no tab stop: it never takes the focus.
    const std::vector<QWidget*> ours = {form.btnSavePosition, form.rbStartDefault, form.rbStartFull,
                                        form.rbStartSaved,    form.lbPascal,       form.btnSave,
                                        form.btnCancel};
    std::vector<QWidget*> chain;
    QWidget* at = form.PageControl1;
    do {
        at = at->nextInFocusChain();
        if (std::find(ours.begin(), ours.end(), at) != ours.end()) {
            chain.push_back(at);
        }
    } while (at != form.PageControl1);
    EXPECT_EQ(chain, ours);
}

TEST_F(SetupTest, EscapeDoesNothingAndEnterPressesOnlyAFocusedButton) {
    TfrmSetup& form = Open();
    form.lbPascal->setFocus();
    QTest::keyClick(form.lbPascal, Qt::Key_Escape);
    QTest::keyClick(form.lbPascal, Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(std::filesystem::exists(store_));

    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.btnCancel->setFocus();
    ASSERT_TRUE(form.btnCancel->hasFocus());
    QTest::keyClick(form.btnCancel, Qt::Key_Return);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

// ---- presetting from the store ----

TEST_F(SetupTest, TheStoredStartModePresetsTheRadioButtons) {
    WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\n"
               "\"StartPos\"=dword:00000001\n");
    EXPECT_TRUE(Open().rbStartFull->isChecked());
    dialog.reset();
    WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\n"
               "\"StartPos\"=dword:00000002\n");
    EXPECT_TRUE(Open().rbStartSaved->isChecked());
    dialog.reset();
    // An unknown mode shows as the default, and Save writes 0.
    WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\n"
               "\"StartPos\"=dword:00000005\n");
    Install();
    EXPECT_TRUE(Open().rbStartDefault->isChecked());
    dialog->btnSave->click();
    EXPECT_EQ(StoredInteger("StartPos"), 0);
}

TEST_F(SetupTest, OpeningLoadsTheStoredSchemeIntoTheTable) {
    StorePascal("\"clComment\"=\"clTeal\"\n\"clKeyword\"=\"$00FF0000\"\n");
    TfrmSetup& form = Open();
    EXPECT_EQ(ColorSlots[ciComment].Color, 0x808000u);
    EXPECT_EQ(ColorSlots[ciKeyword].Color, 0xFF0000u);
    Select("Comment");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 6);
    Select("Keyword");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 12);
}

TEST_F(SetupTest, SelectingAClassShowsItsColourAndChangesNoSlot) {
    TfrmSetup& form = Open();
    Select("Comment");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 4); // navy
    Select("Number");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 13); // fuchsia
    Select("Background");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 15); // white
    // By keyboard as well as by mouse.
    form.lbPascal->setFocus();
    QTest::keyClick(form.lbPascal, Qt::Key_Up);
    EXPECT_EQ(form.lbPascal->selectedItems().front()->text(), "Assembler");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 2);
    for (size_t i = 0; i < ColorSlots.size(); ++i) {
        EXPECT_EQ(ColorSlots[i].Color, kDefaultSlotColors[i]) << i;
    }
}

TEST_F(SetupTest, AColourOutsideTheGridShowsAsCellZeroAndStaysTheSlots) {
    StorePascal("\"clString\"=\"$0080FFFF\"\n\"clComment\"=\"clWindowText\"\n");
    Install();
    TfrmSetup& form = Open();
    Select("Number");
    ASSERT_EQ(form.cgPascal->ForegroundIndex(), 13);
    Select("String");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 0);
    EXPECT_EQ(ColorSlots[ciString].Color, 0x0080FFFFu);
    Select("Comment");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 0);
    EXPECT_EQ(ColorSlots[ciComment].Color, 0x80000008u);
    form.btnSave->click();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(StoredColor("clString"), "$0080FFFF");
    EXPECT_EQ(StoredColor("clComment"), "clWindowText");
    // Picking black on purpose is a pick.
    Open();
    Select("String");
    Pick(5);
    Pick(0);
    EXPECT_EQ(ColorSlots[ciString].Color, 0x000000u);
}

TEST_F(SetupTest, ColorToGridIndexIsTheInverseOfTheCellColours) {
    const std::vector<std::pair<TColor, int>> cases = {
        {0x000000, 0},   {0x000080, 1},   {0x008000, 2},   {0x008080, 3},   {0x800000, 4},
        {0x800080, 5},   {0x808000, 6},   {0xC0C0C0, 7},   {0x808080, 8},   {0x0000FF, 9},
        {0x00FF00, 10},  {0x00FFFF, 11},  {0xFF0000, 12},  {0xFF00FF, 13},  {0xFFFF00, 14},
        {0xFFFFFF, 15},  {0x0080FFFF, 0}, {0x80000008, 0}, {0x80FFFFFF, 0}, {0x1FFFFFFF, 0},
        {0x010000FF, 0},
    };
    for (const auto& [color, cell] : cases) {
        EXPECT_EQ(TfrmSetup::ColorToGridIndex(color), cell) << std::hex << color;
    }
}

// ---- Save ----

TEST_F(SetupTest, SavingAtOnceWithTheDefaultSchemeWritesTheWholeScheme) {
    Install();
    Open().btnSave->click();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_THAT(messages, IsEmpty());
    EXPECT_EQ(StoredInteger("StartPos"), 0);
    EXPECT_EQ(StoredColor("clFGround"), "clBlack");
    EXPECT_EQ(StoredColor("clBGround"), "clWhite");
    EXPECT_EQ(StoredColor("clString"), "clRed");
    EXPECT_EQ(StoredColor("clComment"), "clNavy");
    EXPECT_EQ(StoredColor("clNumber"), "clFuchsia");
    EXPECT_EQ(StoredColor("clAssembler"), "clGreen");
    EXPECT_EQ(StoredColor("clKeyword"), "clBlack");
}

TEST_F(SetupTest, WhenTheFirstClassIsBlackSaveWritesOnlyTheStartMode) {
    StorePascal("\"clAssembler\"=\"clBlack\"\n");
    Install();
    TfrmSetup& form = Open();
    Select("Keyword"); // black as well: the mark stays
    form.btnSave->click();
    EXPECT_TRUE(Closed());
    EXPECT_THAT(StoredNames(kPascalKey), ElementsAre("clAssembler"));
    EXPECT_EQ(StoredInteger("StartPos"), 0);
}

TEST_F(SetupTest, APickGoesIntoTheTableAndSaveStoresIt) {
    Install();
    TfrmSetup& form = Open();
    Pick(9);
    EXPECT_EQ(ColorSlots[ciAssembler].Color, 0x0000FFu);
    Select("Keyword");
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 0);
    Pick(12);
    EXPECT_EQ(ColorSlots[ciKeyword].Color, 0xFF0000u);
    // A right click only moves the selection: the background mark is off.
    QTest::mouseClick(form.cgPascal, Qt::RightButton, {}, form.cgPascal->CellRect(3).center());
    EXPECT_EQ(ColorSlots[ciKeyword].Color, 0xFF0000u);
    EXPECT_EQ(form.cgPascal->Selection(), 3);
    form.rbStartFull->setChecked(true);
    form.btnSave->click();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(StoredColor("clAssembler"), "clRed");
    EXPECT_EQ(StoredColor("clKeyword"), "clBlue");
    EXPECT_EQ(StoredInteger("StartPos"), 1);
    // The next conversion loads what was saved.
    ColorSlots[ciKeyword].Color = 0;
    TPascalParser().LoadColors();
    EXPECT_EQ(ColorSlots[ciKeyword].Color, 0xFF0000u);
}

TEST_F(SetupTest, SavedModeIsWrittenWithoutAnyBounds) {
    Install();
    TfrmSetup& form = Open();
    form.rbStartSaved->setChecked(true);
    form.btnSave->click();
    EXPECT_EQ(StoredInteger("StartPos"), 2);
    EXPECT_THAT(StoredNames(kPositionKey), ElementsAre("StartPos"));
}

TEST_F(SetupTest, AFailedInstallCheckAtSaveStillSavesTheSchemeAndCloses) {
    TfrmSetup& form = Open();
    Pick(14);
    form.rbStartSaved->setChecked(true);
    form.btnSave->click();
    EXPECT_THAT(messages, ElementsAre("Lumivane 98 not installed.\nPlease run install first."));
    EXPECT_TRUE(Closed());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_THAT(StoredNames(kPositionKey), IsEmpty());
    EXPECT_EQ(StoredColor("clAssembler"), "clAqua");
    // Saving the scheme made the product key: the next Save passes.
    messages.clear();
    Open().btnSave->click();
    EXPECT_THAT(messages, IsEmpty());
    EXPECT_EQ(StoredInteger("StartPos"), 0);
}

// ---- save position ----

TEST_F(SetupTest, SavePositionWritesTheBoundsAtOnceAndStaysOpen) {
    Install();
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kPositionKey, true));
        registry.WriteInteger("StartPos", 1);
    }
    TfrmSetup& form = Open();
    form.btnSavePosition->click();
    EXPECT_FALSE(Closed());
    EXPECT_EQ(StoredInteger("X1"), 40);
    EXPECT_EQ(StoredInteger("Y1"), 30);
    EXPECT_EQ(StoredInteger("X2"), 700);
    EXPECT_EQ(StoredInteger("Y2"), 500);
    EXPECT_EQ(StoredInteger("StartPos"), 1);
    form.btnCancel->click(); // does not undo it
    EXPECT_TRUE(Closed());
    EXPECT_EQ(StoredInteger("X2"), 700);
}

TEST_F(SetupTest, AFailedInstallCheckAtSavePositionKeepsTheDialogOpen) {
    TfrmSetup& form = Open();
    form.btnSavePosition->click();
    form.btnSavePosition->click();
    EXPECT_THAT(messages, ElementsAre("Lumivane 98 not installed.\nPlease run install first.",
                                      "Lumivane 98 not installed.\nPlease run install first."));
    EXPECT_FALSE(Closed());
    EXPECT_FALSE(std::filesystem::exists(store_));
}

// ---- Cancel ----

TEST_F(SetupTest, CancelAfterPicksWritesNothingAndPutsTheTableBack) {
    StorePascal("\"clAssembler\"=\"clTeal\"\n");
    Install();
    const std::string before = ReadFile(store_);
    TfrmSetup& form = Open();
    Pick(9);
    Select("Keyword");
    Pick(12);
    ASSERT_EQ(ColorSlots[ciKeyword].Color, 0xFF0000u);
    form.rbStartSaved->setChecked(true);
    form.btnCancel->click();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(ReadFile(store_), before);
    // Keyword has no stored value: it must not keep the cancelled blue.
    EXPECT_EQ(ColorSlots[ciKeyword].Color, 0x000000u);
    EXPECT_EQ(ColorSlots[ciAssembler].Color, 0x808000u);
    TPascalParser().LoadColors();
    EXPECT_EQ(ColorSlots[ciKeyword].Color, 0x000000u);
    EXPECT_EQ(ColorSlots[ciAssembler].Color, 0x808000u);
}

TEST_F(SetupTest, ClosingByTheFramePutsTheTableBackAsWell) {
    TfrmSetup& form = Open();
    Select("Background");
    Pick(7);
    ASSERT_EQ(ColorSlots[ciBackground].Color, 0xC0C0C0u);
    form.close();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(ColorSlots[ciBackground].Color, 0xFFFFFFu);
    EXPECT_FALSE(std::filesystem::exists(store_));
}

// ---- store errors ----

TEST_F(SetupTest, ACorruptStoreIsReportedAndLeftAsItIs) {
    const std::string corrupt = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\n\"x\"=what\n";
    WriteStore(corrupt);
    TfrmSetup& form = Open();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_THAT(errors[0], HasSubstr(store_.filename().string()));
    // The rest of the creation handler was skipped.
    EXPECT_EQ(form.lbPascal->count(), 0);
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 0);

    // Still usable: a pick with nothing selected changes no slot, and Save
    // reports the store again and stays open.
    Pick(9);
    for (size_t i = 0; i < ColorSlots.size(); ++i) {
        EXPECT_EQ(ColorSlots[i].Color, kDefaultSlotColors[i]) << i;
    }
    form.btnSave->click();
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_FALSE(Closed());
    form.btnSavePosition->click();
    EXPECT_EQ(errors.size(), 3u);
    EXPECT_EQ(ReadFile(store_), corrupt);
    form.btnCancel->click();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(ReadFile(store_), corrupt);
}

TEST_F(SetupTest, AStoreThatCannotBeWrittenKeepsTheDialogOpenAtSave) {
    // The store's folder is a file: nothing can be read or written there.
    WriteFile(dir_ / "blocker", "x");
    ::setenv("LUMIVANE_REGISTRY", (dir_ / "blocker" / "user.reg").c_str(), 1);
    TfrmSetup& form = Open();
    const size_t atOpen = errors.size();
    Pick(9);
    form.btnSave->click();
    EXPECT_GT(errors.size(), atOpen);
    EXPECT_FALSE(Closed());
    EXPECT_EQ(ReadFile(dir_ / "blocker"), "x");
}

// A store the user made read-only is reported by "save position" and by Save
// in the error box, and stays byte for byte as it was (also for root).
TEST_F(SetupTest, AReadOnlyStoreIsReportedAndLeftAsItIs) {
    Install();
    const std::string stored = ReadFile(store_);
    ASSERT_EQ(::chmod(store_.c_str(), 0444), 0);
    TfrmSetup& form = Open();
    ASSERT_TRUE(errors.empty());
    form.btnSavePosition->click();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_THAT(errors[0], HasSubstr(store_.string() + ": cannot write: the file is read-only"));
    EXPECT_FALSE(Closed());
    Select("String");
    Pick(9);
    form.btnSave->click();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_THAT(errors[1], HasSubstr("read-only"));
    EXPECT_FALSE(Closed());
    EXPECT_EQ(ReadFile(store_), stored);
    form.btnCancel->click();
}

TEST_F(SetupTest, AStartModeStoredAsTextIsReportedAndTheListStaysEmpty) {
    WriteStore("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\QD\\Lumivane\\Position]\n"
               "\"StartPos\"=\"2\"\n");
    TfrmSetup& form = Open();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_THAT(errors[0], HasSubstr("StartPos"));
    EXPECT_EQ(form.lbPascal->count(), 0);
    EXPECT_TRUE(form.rbStartDefault->isChecked());
}

TEST_F(SetupTest, AFailingLoadKeepsTheSlotsReadBeforeIt) {
    StorePascal("\"clString\"=\"clBlue\"\n\"clNumber\"=\"notacolour\"\n\"clKeyword\"=\"clRed\"\n");
    TfrmSetup& form = Open();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_THAT(errors[0], HasSubstr("notacolour"));
    EXPECT_EQ(ColorSlots[ciString].Color, 0xFF0000u);
    EXPECT_EQ(ColorSlots[ciKeyword].Color, 0x000000u); // not read
    EXPECT_EQ(form.lbPascal->count(), 0);
    // Cancel goes back to the table as the dialog opened, the loaded slot included.
    form.btnCancel->click();
    EXPECT_EQ(ColorSlots[ciString].Color, 0xFF0000u);
}

} // namespace

// ---- the grid from the keyboard ----

TEST_F(SetupTest, RightInTheListReachesTheGridWhichTheKeysThenWork) {
    Install();
    TfrmSetup& form = Open();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    Select("Keyword");
    form.lbPascal->setFocus();
    QTest::keyClick(form.lbPascal, Qt::Key_Right);
    ASSERT_TRUE(form.cgPascal->hasFocus());
    EXPECT_EQ(form.lbPascal->currentItem()->text(), "Keyword"); // the list did not move
    // The frame from cell 0: down a row and one on, then F picks it.
    QTest::keyClick(form.cgPascal, Qt::Key_Down);
    QTest::keyClick(form.cgPascal, Qt::Key_Right);
    EXPECT_EQ(form.cgPascal->Selection(), 5);
    QTest::keyClick(form.cgPascal, Qt::Key_F);
    EXPECT_EQ(form.cgPascal->ForegroundIndex(), 5);
    EXPECT_EQ(ColorSlots[ciKeyword].Color, 0x800080u); // purple
    // Tab leaves it for the list again: the grid stays out of the order.
    QTest::keyClick(form.cgPascal, Qt::Key_Tab);
    EXPECT_TRUE(form.lbPascal->hasFocus());
    QTest::keyClick(form.lbPascal, Qt::Key_Right, Qt::ShiftModifier); // not the plain key
    EXPECT_TRUE(form.lbPascal->hasFocus());
}
