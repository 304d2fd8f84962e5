// The caption bar's one layout: what each caption button shows in every
// window state, idle and held down, read off the frame's own painting; and
// the bar, icon and text rectangles worked out by hand from the classic
// metrics (sizing frame 4, fixed frame 3, caption 19, buttons 18, small
// icon 16).

#include "tests/platform/qt/FormFixture.h"

#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

const std::map<TCaptionGlyph, std::string> kGlyphNames = {
    {TCaptionGlyph::Close, "close"},       {TCaptionGlyph::Minimize, "minimize"},
    {TCaptionGlyph::Maximize, "maximize"}, {TCaptionGlyph::Restore, "restore"},
    {TCaptionGlyph::Help, "help"},
};

// Which glyph the button at RECT of SHOT shows: the one whose picture on a
// button of that size (PRESSED or not) matches it pixel for pixel, or
// "none".
std::string GlyphShown(const QImage& shot, const TRect& rect, bool pressed) {
    const QImage shown = shot.copy(rect.ToQRect());
    for (const auto& [glyph, name] : kGlyphNames) {
        QImage picture(shown.size(), QImage::Format_RGB32);
        picture.fill(Qt::magenta);
        QPainter painter(&picture);
        DrawCaptionButton(painter, QRect(QPoint(0, 0), shown.size()), glyph, pressed, false);
        painter.end();
        if (picture == shown.convertToFormat(QImage::Format_RGB32)) {
            return name;
        }
    }
    return "none";
}

void Send(QWidget* form, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, at, form->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(form, &event);
}

struct TStateCase {
    const char* Name;
    Qt::WindowState State;
    // Bar inset and the glyphs of close, maximize and minimize, by hand.
    int Inset;
    const char* Close;
    const char* Maximize;
    const char* Minimize;
};

} // namespace

// A button shows the restore glyph in the state it would undo, and a button
// held down keeps the glyph it shows at rest.
TEST(CaptionLayout, ButtonGlyphsInEveryWindowStateIdleAndPressed) {
    TClassicDesktop desktop;
    const TStateCase cases[] = {
        {"normal", Qt::WindowNoState, 4, "close", "maximize", "minimize"},
        {"maximised", Qt::WindowMaximized, 4, "close", "restore", "minimize"},
        // A minimised window keeps the fixed frame (3) around its caption.
        {"minimised", Qt::WindowMinimized, 3, "close", "maximize", "restore"},
    };
    for (const TStateCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestForm form(400, 300);
        form.Form->setWindowState(c.State);
        QApplication::processEvents();
        const int w = form.Form->width();
        // From the right inside the bar inset by 2: close 16 wide, 2 pixels,
        // then maximize and minimize, 16 each.
        const int top = c.Inset + 2;
        const int bottom = c.Inset + 18 - 2;
        const int right = w - c.Inset - 2;
        const std::pair<TRect, const char*> buttons[] = {
            {TRect{right - 16, top, right, bottom}, c.Close},
            {TRect{right - 34, top, right - 18, bottom}, c.Maximize},
            {TRect{right - 50, top, right - 34, bottom}, c.Minimize},
        };
        for (const auto& [rect, glyph] : buttons) {
            SCOPED_TRACE(glyph);
            EXPECT_EQ(GlyphShown(form.Shot(), rect, false), glyph);
            const QPoint middle = rect.ToQRect().center();
            Send(form.Form.get(), QEvent::MouseButtonPress, middle, Qt::LeftButton);
            ASSERT_NE(form.Frame->PressedButton(), 0);
            EXPECT_EQ(GlyphShown(form.Shot(), rect, true), glyph);
            // Let go away from the button: nothing happens.
            Send(form.Form.get(), QEvent::MouseMove, QPoint(150, 150), Qt::LeftButton);
            Send(form.Form.get(), QEvent::MouseButtonRelease, QPoint(150, 150), Qt::NoButton);
            EXPECT_EQ(form.Form->windowState(), c.State);
        }
    }
}

TEST(CaptionLayout, GlyphsAndGreyingFromTheOneTable) {
    TClassicDesktop desktop;
    TCaptionState state{400, 300, bsSizeable, biSystemMenu | biMinimize, false, false};
    TCaptionLayout layout = LayOutCaption(state);
    ASSERT_EQ(layout.Places.size(), 3u);
    EXPECT_EQ(layout.Places[0].Kind->HitTest, HTCLOSE);
    EXPECT_EQ(layout.Places[1].Kind->HitTest, HTMAXBUTTON);
    EXPECT_EQ(layout.Places[2].Kind->HitTest, HTMINBUTTON);
    // Without its icon, maximize is there but greyed.
    EXPECT_FALSE(layout.Places[0].Inactive);
    EXPECT_TRUE(layout.Places[1].Inactive);
    EXPECT_FALSE(layout.Places[2].Inactive);
    // Both states at once (minimised from maximised): both restore.
    state.Maximized = state.Minimized = true;
    layout = LayOutCaption(state);
    EXPECT_EQ(layout.ButtonAt(HTMAXBUTTON)->Glyph, TCaptionGlyph::Restore);
    EXPECT_EQ(layout.ButtonAt(HTMINBUTTON)->Glyph, TCaptionGlyph::Restore);
    EXPECT_EQ(layout.ButtonAt(HTCLOSE)->Glyph, TCaptionGlyph::Close);
    EXPECT_EQ(layout.ButtonAt(HTHELP), nullptr);
    EXPECT_EQ(layout.ButtonAt(HTCAPTION), nullptr);
    // A dialog with help: close and help, help two pixels left of close.
    layout = LayOutCaption({300, 200, bsDialog, biSystemMenu | biHelp, false, false});
    ASSERT_EQ(layout.Places.size(), 2u);
    EXPECT_EQ(layout.ButtonAt(HTHELP)->Rect, (TRect{261, 5, 277, 19}));
    EXPECT_EQ(layout.ButtonAt(HTHELP)->Glyph, TCaptionGlyph::Help);
    EXPECT_FALSE(layout.ButtonAt(HTHELP)->Inactive);
}

TEST(CaptionLayout, BarIconAndTitleRectangles) {
    TClassicDesktop desktop;
    TCaptionLayout layout = LayOutCaption({400, 300, bsSizeable, biSystemMenu, false, false});
    EXPECT_EQ(layout.Bar, (TRect{4, 4, 396, 22}));
    // Close only: 18 + 2 off the right.
    EXPECT_EQ(layout.Text, (TRect{4, 4, 376, 22}));
    ASSERT_TRUE(layout.HasIcon);
    EXPECT_EQ(layout.Icon, (TRect{6, 5, 22, 21}));
    // After the icon: one pixel in, 16 of icon, one pixel after.
    EXPECT_EQ(layout.TitleText, (TRect{22, 4, 376, 22}));

    // Minimised: the fixed frame around the caption, whatever the style.
    layout = LayOutCaption({160, 40, bsSizeable, biSystemMenu, false, true});
    EXPECT_EQ(layout.Bar, (TRect{3, 3, 157, 21}));

    // No icon on a dialog or a tool window, or without the system menu.
    EXPECT_FALSE(LayOutCaption({400, 300, bsDialog, biSystemMenu, false, false}).HasIcon);
    EXPECT_FALSE(LayOutCaption({400, 300, bsToolWindow, biSystemMenu, false, false}).HasIcon);
    EXPECT_FALSE(LayOutCaption({400, 300, bsSingle, 0, false, false}).HasIcon);

    // A zero small-icon metric: the icon takes the button size, the title
    // moves by the icon metric alone.
    SetSystemMetric(SM_CXSMICON, 0);
    SetSystemMetric(SM_CYSMICON, 0);
    layout = LayOutCaption({400, 300, bsSingle, biSystemMenu, false, false});
    EXPECT_EQ(layout.Icon, (TRect{5, 4, 23, 22}));
    EXPECT_EQ(layout.TitleText.Left, 3 + 2);

    // No border: nothing at all.
    layout = LayOutCaption({400, 300, bsNone, biSystemMenu, false, false});
    EXPECT_TRUE(layout.Bar.IsEmpty());
    EXPECT_TRUE(layout.Places.empty());
    EXPECT_FALSE(layout.HasIcon);
}

// Nowhere, client, caption, fixed border, close, and just outside the
// sizing codes: no sizing cursor.
TEST(CaptionLayout, SizingCursorsOnlyOnTheBorders) {
    EXPECT_EQ(SizingCursor(HTLEFT), Qt::SizeHorCursor);
    EXPECT_EQ(SizingCursor(HTBOTTOM), Qt::SizeVerCursor);
    EXPECT_EQ(SizingCursor(HTBOTTOMRIGHT), Qt::SizeFDiagCursor);
    EXPECT_EQ(SizingCursor(HTBOTTOMLEFT), Qt::SizeBDiagCursor);
    for (const int other : {0, 1, 2, 18, 20, HTLEFT - 1, HTBOTTOMRIGHT + 1}) {
        EXPECT_FALSE(SizingCursor(other).has_value()) << other;
    }
}
