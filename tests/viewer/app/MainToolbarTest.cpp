// The main window's docks and toolbar: where everything stands, what the
// glyphs look like on it, and that each button reaches its command.

#include "platform/SysColors.h"
#include "tests/viewer/app/WindowTestSupport.h"
#include "viewer/FindDialog.h"
#include "widgets/TB97/ButtonGlyph.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/explbtn/explbtn.h"

#include <QAction>
#include <QClipboard>

namespace {

// A system colour (taken from the application's palette) as 0xRRGGBB.
QRgb System(int index) {
    const std::uint32_t bgr = GetSysColor(index);
    return ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}
const int kFace = 15;
const int kShadow = 16;
const int kHighlight = 20;

struct MainToolbarTest : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        Create();
        Show();
    }
    void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(11, 11)); }
    QRgb ToolbarPixel(int x, int y) const {
        return window->Toolbar971->grab().toImage().pixel(x, y) & 0xFFFFFFu;
    }
};

} // namespace

TEST_F(MainToolbarTest, DocksAndToolbarStandAsDesigned) {
    EXPECT_EQ(window->Dock971->height(), 26);
    // The top dock spans the client area, inside the window's own frame.
    EXPECT_EQ(window->Dock971->width(), window->contentsRect().width());
    EXPECT_EQ(window->Dock971->width(), window->width() - 2 * 4);
    EXPECT_EQ(window->Dock972->width(), 0); // the empty docks take no room
    EXPECT_EQ(window->Dock973->width(), 0);
    EXPECT_EQ(window->Dock974->height(), 0);
    EXPECT_EQ(window->Dock972->Position(), dpLeft);
    EXPECT_EQ(window->Dock973->Position(), dpRight);
    EXPECT_EQ(window->Dock974->Position(), dpBottom);
    EXPECT_EQ(window->SourceView1->geometry().top(), window->Dock971->geometry().bottom() + 1);

    TToolbar97* bar = window->Toolbar971;
    EXPECT_EQ(bar->DockedTo(), window->Dock971);
    EXPECT_EQ(bar->DefaultDock(), window->Dock971);
    EXPECT_EQ(bar->Caption(), "Lumivane98");
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 203, 26));
    const std::pair<QWidget*, int> buttons[] = {
        {window->tbOpen, 11},     {window->tbSave, 39},  {window->tbFind, 67},
        {window->tbFindNext, 95}, {window->tbCopy, 123}, {window->tbSetup, 151},
        {window->ebAbout, 179},
    };
    for (const auto& [button, left] : buttons) {
        SCOPED_TRACE(left);
        EXPECT_EQ(button->geometry(), QRect(left, 2, 22, 22));
    }
    EXPECT_EQ(window->tbOpen->toolTip(), "Open (Ctrl + O)");
    EXPECT_EQ(window->tbSave->toolTip(), "Save as RTF (Ctrl + S)");
    EXPECT_EQ(window->tbFind->toolTip(), "Find (Ctrl + F)");
    EXPECT_EQ(window->tbFindNext->toolTip(), "Find next (F3)");
    EXPECT_EQ(window->tbCopy->toolTip(), "Copy (Ctrl + C)");
    EXPECT_EQ(window->tbSetup->toolTip(), "Setup");
    EXPECT_EQ(window->ebAbout->toolTip(), "About");
}

TEST_F(MainToolbarTest, GlyphsSitCentredInTheirButtons) {
    // Save (16 × 16) at 39: glyph from (39 + 3, 2 + 3); its outline and navy body.
    EXPECT_EQ(ToolbarPixel(43, 6), 0x000000u);
    EXPECT_EQ(ToolbarPixel(44, 7), 0x000080u);
    // Copy (20 × 20) at 123: glyph from (124, 3); the back page's corner and paper.
    EXPECT_EQ(ToolbarPixel(125, 4), 0x000000u);
    EXPECT_EQ(ToolbarPixel(126, 5), 0xFFFFFFu);
    // Their transparent corners show the button face.
    EXPECT_EQ(ToolbarPixel(42, 20), System(kFace));
    // Six glyphs of four sizes: four image lists.
    ASSERT_NE(TGlyphCache::Instance(), nullptr);
    EXPECT_EQ(TGlyphCache::Instance()->ListCount(), 4);
}

TEST_F(MainToolbarTest, FindNextStartsDisabledEmbossedAndFollowsTheMenuItem) {
    EXPECT_FALSE(window->tbFindNext->isEnabled());
    EXPECT_FALSE(window->miFindNext->isEnabled());
    // Disabled, the glyph shows only in the button's shadow and highlight.
    const QImage shot = window->tbFindNext->grab().toImage();
    int shadow = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb pixel = shot.pixel(x, y) & 0xFFFFFFu;
            EXPECT_TRUE(pixel == System(kFace) || pixel == System(kShadow) ||
                        pixel == System(kHighlight))
                << x << "," << y;
            shadow += pixel == System(kShadow);
        }
    }
    EXPECT_GT(shadow, 10);
    window->SetFindNextEnabled(true);
    EXPECT_TRUE(window->tbFindNext->isEnabled());
    window->SetFindNextEnabled(false);
    EXPECT_FALSE(window->tbFindNext->isEnabled());
}

TEST_F(MainToolbarTest, EachButtonReachesItsCommand) {
    Click(window->tbOpen);
    ASSERT_EQ(dialogsShown.size(), 1u);
    EXPECT_EQ(dialogsShown[0], window->OpenDialog1);

    Click(window->tbSave);
    ASSERT_EQ(dialogsShown.size(), 2u);
    EXPECT_EQ(dialogsShown[1], window->SaveDialog1);

    Click(window->tbFind);
    EXPECT_TRUE(window->FindDialog1->isVisible());
    window->FindDialog1->close();

    window->SourceView1->LoadFromBytes("alpha beta alpha");
    Click(window->tbFindNext); // disabled: nothing
    EXPECT_TRUE(messages.isEmpty());
    window->FindDialog1->SetFindText("alpha");
    window->FindDialog1Find();
    ASSERT_TRUE(window->tbFindNext->isEnabled());
    Click(window->tbFindNext);
    EXPECT_EQ(messages, QStringList({"Searchstring \"alpha\" not found"}));

    QApplication::clipboard()->setText("before");
    window->SourceView1->SetSelStart(6);
    window->SourceView1->SetSelLength(4);
    Click(window->tbCopy);
    EXPECT_EQ(QApplication::clipboard()->text(), "beta");
    EXPECT_TRUE(errors.isEmpty());
}
