#pragma once
// The caption bar's layout, worked out in one place from the window's size
// and state and the system metrics: the bar, the text rectangle, the icon and
// the caption buttons with their glyphs and hit-test codes. The frame
// hit-tests and paints with it, and so does the caption bar painter, so the
// two always agree on where everything is and what each button shows.

#include "platform/qt/FrameControls.h"

#include <QFont>
#include <QIcon>
#include <QRect>
#include <array>
#include <optional>
#include <vector>

class QWidget;

// A rectangle as the window system has it: right and bottom exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect& r) {
        return TRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
    }
    bool operator==(const TRect&) const = default;
};

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum TBorderIcon : int { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = int;

// Caption buttons, as a set.
enum TCaptionButton : int { cbClose = 1, cbMinimize = 2, cbMaximize = 4, cbHelp = 8 };
using TCaptionButtons = int;

// Hit-test codes of the window system.
enum THitTest : int {
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTSYSMENU = 3,
    HTMINBUTTON = 8,
    HTMAXBUTTON = 9,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTBORDER = 18,
    HTCLOSE = 20,
    HTHELP = 21,
};

bool IsToolWindowStyle(TFormBorderStyle style);
bool IsSizeableStyle(TFormBorderStyle style);
// Which caption buttons a window of STYLE with ICONS has.
TCaptionButtons StandardCaptionButtons(TFormBorderStyle style, TBorderIcons icons);
// A caption button's rectangle in the bar BAR, for buttons BUTTON_WIDTH wide
// (the caption button metric): inside the bar inset by 2, from the right
// close, then 2 pixels further left maximize, minimize and help.
TRect CaptionButtonRect(const TRect& bar, int buttonWidth, TCaptionButtons present,
                        TCaptionButton button);
// The border thickness of a window of STYLE on each side (0 without border).
QSize FrameThickness(TFormBorderStyle style);
// The caption's height, its one-pixel line below the bar included.
int CaptionHeight(TFormBorderStyle style);

// One kind of caption button: where the pointer finds it, the border icon
// without which it is greyed (0: never greyed), its glyph, and the window
// state in which that glyph gives way to the restore glyph (the state the
// button would undo). Held down or not, a button shows the same glyph.
struct TCaptionButtonKind {
    TCaptionButton Button;
    THitTest HitTest;
    TBorderIcons Needs;
    TCaptionGlyph Glyph;
    Qt::WindowState RestoresFrom;
};

// The caption buttons, in their order from the right.
inline constexpr std::array<TCaptionButtonKind, 4> kCaptionButtonKinds = {{
    {cbClose, HTCLOSE, 0, TCaptionGlyph::Close, Qt::WindowNoState},
    {cbMaximize, HTMAXBUTTON, biMaximize, TCaptionGlyph::Maximize, Qt::WindowMaximized},
    {cbMinimize, HTMINBUTTON, biMinimize, TCaptionGlyph::Minimize, Qt::WindowMinimized},
    {cbHelp, HTHELP, 0, TCaptionGlyph::Help, Qt::WindowNoState},
}};

// The button kind answering to HITTEST, or null when no button does.
const TCaptionButtonKind* CaptionButtonKindAt(int hitTest);

// What the caption's layout depends on besides the system metrics.
struct TCaptionState {
    int Width = 0; // the window's size
    int Height = 0;
    TFormBorderStyle BorderStyle = bsSizeable;
    TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
    bool Maximized = false;
    bool Minimized = false;
};

// One caption button as laid out.
struct TCaptionButtonPlace {
    const TCaptionButtonKind* Kind;
    TRect Rect;
    TCaptionGlyph Glyph; // in the window's present state
    bool Inactive;       // greyed: the window lacks the button's border icon
};

// Window coordinates throughout.
struct TCaptionLayout {
    TRect Bar;  // the caption bar; empty for a window without border
    TRect Text; // the bar less the buttons (never narrower than 2 pixels)
    bool HasIcon = false;
    TRect Icon;      // where the small icon goes, when there is one
    TRect TitleText; // the text rectangle after the icon took its place
    int ButtonWidth = 0;
    TCaptionButtons Buttons = 0;
    std::vector<TCaptionButtonPlace> Places; // the present buttons, from the right

    // The button answering to HITTEST, or null when there is none.
    const TCaptionButtonPlace* ButtonAt(int hitTest) const;
};

TCaptionLayout LayOutCaption(const TCaptionState& state);

// Whether HITTEST is one of the sizing borders, and the pointer shape there.
bool IsSizingBorder(int hitTest);
std::optional<Qt::CursorShape> SizingCursor(int hitTest);

// The caption font of the non-client metrics: face, height (0 or negative as
// a height, positive as a point size), italic, bold above weight 500; the
// stock system font when the metrics cannot be had.
QFont LoadCaptionFont();

// The icon a caption shows: the form's own, else the application's, else the
// standard application icon.
QIcon CaptionIcon(const QWidget& form);
