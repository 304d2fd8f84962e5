// The caption bar painter on a real frameless form, checked pixel by pixel on
// the offscreen display. Expected values are worked out by hand from the
// layout rules and the classic metrics (sizing frame 4, fixed frame 3,
// caption 19, small caption 15, caption buttons 18, small ones 12).

#include "widgets/Wordcap.h"

#include "tests/platform/qt/FormFixture.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kGrey = qRgb(128, 128, 128);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kButtonFace = qRgb(192, 192, 192);
constexpr QRgb k3DLight = qRgb(223, 223, 223);

struct TCaptionForm : TTestForm {
    ZEZUzavivAzuroze* Caption;

    explicit TCaptionForm(int width = 400, const QString& title = QString())
        : TTestForm(width, 120, title) {
        Caption = new ZEZUzavivAzuroze(Form.get());
    }

    void SetActive(bool active) {
        TNcActivateEvent event(active);
        QCoreApplication::sendEvent(Form.get(), &event);
    }
};

bool IsRed(QRgb p) {
    return qRed(p) > 150 && qGreen(p) < 90;
}
bool IsGreen(QRgb p) {
    return qGreen(p) > 150 && qRed(p) < 90;
}
bool IsYellow(QRgb p) {
    return qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) < 120;
}

// Columns in the rows TOP..BOTTOM-1 holding a pixel that MATCHES.
template <class Match>
std::vector<int> Columns(const QImage& image, const TRect& area, Match match) {
    std::vector<int> columns;
    for (int x = area.Left; x < area.Right; ++x) {
        for (int y = area.Top; y < area.Bottom; ++y) {
            if (match(Pixel(image, x, y))) {
                columns.push_back(x);
                break;
            }
        }
    }
    return columns;
}

} // namespace

TEST(WordcapConstruction, DefaultsOfEveryProperty) {
    TClassicDesktop desktop;
    TCaptionForm form;
    ZEZUzavivAzuroze& c = *form.Caption;
    EXPECT_EQ(c.ColorLeftActive(), 0u);
    EXPECT_EQ(c.ColorLeftInActive(), 0u);
    EXPECT_EQ(c.ColorRightActive(), 0x80000002u);
    EXPECT_EQ(c.ColorRightInActive(), 0x80000003u);
    EXPECT_EQ(c.Enabled(), geSmart);
    EXPECT_EQ(c.Justification(), jAuto);
    EXPECT_EQ(c.NumColors(), 64);
    EXPECT_FALSE(c.OnDrawCaption);
    EXPECT_TRUE(c.Active());
    EXPECT_FALSE(c.ActiveKnown());
    EXPECT_TRUE(c.Hooked());
    EXPECT_FALSE(c.Recreating());
    for (TCompanyText* part : {c.CompanyText(), static_cast<TCompanyText*>(c.AppNameText()),
                               static_cast<TCompanyText*>(c.CaptionText())}) {
        EXPECT_TRUE(part->StoredCaption().isEmpty());
        EXPECT_EQ(part->ColorActive(), 0x80000009u);
        EXPECT_EQ(part->ColorInactive(), 0x80000013u);
        EXPECT_EQ(part->FontKind(), fkSystem);
        EXPECT_TRUE(part->Visible());
        EXPECT_EQ(part->Font(), c.CaptionFont());
    }
    // The caption font of the classic metrics: 11 pixels, bold, upright.
    EXPECT_EQ(c.CaptionFont().family(), "MS Sans Serif");
    EXPECT_EQ(c.CaptionFont().pixelSize(), 11);
    EXPECT_TRUE(c.CaptionFont().bold());
    EXPECT_FALSE(c.CaptionFont().italic());
}

TEST(WordcapConstruction, OwnerMustBeAFormWithItsOwnFrame) {
    QObject plain;
    EXPECT_THROW(ZEZUzavivAzuroze{&plain}, std::invalid_argument);
    QWidget unframed;
    EXPECT_THROW(ZEZUzavivAzuroze{&unframed}, std::invalid_argument);
    EXPECT_THROW(ZEZUzavivAzuroze{nullptr}, std::invalid_argument);
    // Nothing was left hanging on the widget.
    EXPECT_TRUE(unframed.findChildren<ZEZUzavivAzuroze*>().isEmpty());
}

TEST(WordcapConstruction, NumColorsOutsideOneTo256) {
    TCaptionForm form;
    ZEZUzavivAzuroze& c = *form.Caption;
    c.SetNumColors(0);
    EXPECT_EQ(c.NumColors(), 64);
    c.SetNumColors(-5);
    EXPECT_EQ(c.NumColors(), 64);
    c.SetNumColors(257);
    EXPECT_EQ(c.NumColors(), 256);
    c.SetNumColors(1);
    EXPECT_EQ(c.NumColors(), 1);
    c.SetNumColors(256);
    EXPECT_EQ(c.NumColors(), 256);
}

TEST(WordcapConstruction, CaptionFontFallsBackToTheStockFont) {
    TClassicDesktop desktop;
    SetNonClientMetrics(std::nullopt);
    TCaptionForm form;
    EXPECT_EQ(form.Caption->CaptionFont().family(), "System");
    EXPECT_EQ(form.Caption->CaptionFont().pixelSize(), 16);

    // A positive height is taken as a point size, weight 500 is not bold.
    TNonClientMetrics metrics;
    metrics.lfCaptionFont = TLogFont{9, 500, true, "Liberation Serif"};
    SetNonClientMetrics(metrics);
    form.Caption->CompanyText()->SetFontKind(fkSystemB);
    form.Caption->ReloadCaptionFont();
    const QFont& font = form.Caption->CaptionFont();
    EXPECT_EQ(font.family(), "Liberation Serif");
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_FALSE(font.bold());
    EXPECT_TRUE(font.italic());
    // Each part's font kind is applied again to the new caption font.
    EXPECT_EQ(form.Caption->CompanyText()->Font().family(), "Liberation Serif");
    EXPECT_TRUE(form.Caption->CompanyText()->Font().bold());
    EXPECT_EQ(form.Caption->CaptionText()->Font().family(), "Liberation Serif");
}

// ---- layout ----

struct TRectCase {
    TFormBorderStyle Style;
    TBorderIcons Icons;
    TRect Bar;
    int TextRight;
};

TEST(WordcapLayout, TextRectangleForEachBorderStyleAndButtonSet) {
    TClassicDesktop desktop;
    const TBorderIcons all = biSystemMenu | biMinimize | biMaximize;
    const TRectCase cases[] = {
        // close 18+2, minimize 18, maximize 18 off the right of the bar
        {bsSizeable, all, {4, 4, 396, 22}, 396 - 56},
        {bsSingle, all, {3, 3, 397, 21}, 397 - 56},
        // a dialog has a close button, and help only with the help icon
        {bsDialog, all, {3, 3, 397, 21}, 397 - 20},
        {bsDialog, all | biHelp, {3, 3, 397, 21}, 397 - 40},
        // help on a main window only without minimize and maximize
        {bsSizeable, biSystemMenu | biHelp, {4, 4, 396, 22}, 396 - 40},
        {bsSizeable, biSystemMenu | biHelp | biMinimize, {4, 4, 396, 22}, 396 - 56},
        // either icon brings both buttons
        {bsSingle, biSystemMenu | biMaximize, {3, 3, 397, 21}, 397 - 56},
        // no system menu, no buttons
        {bsSizeable, biMinimize | biMaximize, {4, 4, 396, 22}, 396},
        // tool windows: small caption, a 12-pixel close button only
        {bsToolWindow, all, {3, 3, 397, 17}, 397 - 14},
        {bsSizeToolWin, all | biHelp, {4, 4, 396, 18}, 396 - 14},
    };
    TCaptionForm form(400);
    for (const TRectCase& c : cases) {
        form.Frame->SetBorderStyle(c.Style);
        form.Frame->SetBorderIcons(c.Icons);
        SCOPED_TRACE(testing::Message() << "style " << c.Style << " icons " << c.Icons);
        EXPECT_EQ(form.Caption->CaptionBarRect(), c.Bar);
        const TRect expected{c.Bar.Left, c.Bar.Top, c.TextRight, c.Bar.Bottom};
        EXPECT_EQ(form.Caption->TextRect(), expected);
    }
}

TEST(WordcapLayout, NarrowWindowKeepsATwoPixelTextRectangle) {
    TClassicDesktop desktop;
    TCaptionForm form(50);
    form.Form->resize(50, 120);
    // 50 - 8 = 42 pixels of bar, 56 of buttons: the text rectangle would
    // end left of its start.
    EXPECT_EQ(form.Caption->TextRect(), (TRect{4, 4, 6, 22}));
}

TEST(WordcapLayout, BorderlessFormPaintsNothing) {
    TClassicDesktop desktop;
    TCaptionForm form(300, "qd's - Lumivane 98");
    form.Frame->SetBorderStyle(bsNone);
    form.Caption->SetEnabled(geNever);
    EXPECT_TRUE(form.Caption->CaptionBarRect().IsEmpty());
    QPixmap target(300, 120);
    QPainter dc(&target);
    EXPECT_TRUE(form.Caption->PaintCaption(true, &dc).IsEmpty());
    dc.end();
    const QImage shot = form.Shot();
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 300; x += 3) {
            ASSERT_NE(Pixel(shot, x, y), kNavy) << x << "," << y;
        }
    }
}

TEST(WordcapLayout, NoWindowContextMeansNothingPainted) {
    TCaptionForm form;
    EXPECT_TRUE(form.Caption->PaintCaption(true, nullptr).IsEmpty());
}

// ---- the gradient ----

namespace {

// A 399-pixel form with no system menu: the bar and the text rectangle are
// both x 4..395 (391 pixels), y 4..22.
struct TGradientForm : TCaptionForm {
    TGradientForm() : TCaptionForm(399) {
        Frame->SetBorderIcons(0);
        Caption->SetEnabled(geAlways);
        SetActive(true);
    }
    QRgb At(int offset) {
        const QImage shot = Shot();
        return Pixel(shot, 4 + offset, 13);
    }
};

} // namespace

TEST(WordcapGradient, OneBandIsTheLeftColour) {
    TClassicDesktop desktop;
    TGradientForm form;
    form.Caption->SetNumColors(1);
    const QImage shot = form.Shot();
    for (const int x : {0, 100, 200, 390}) {
        EXPECT_EQ(Pixel(shot, 4 + x, 13), kBlack) << x;
    }
}

TEST(WordcapGradient, TwoBandsSplitByMulDivRounding) {
    TClassicDesktop desktop;
    TGradientForm form;
    form.Caption->SetNumColors(2);
    const QImage shot = form.Shot();
    // 391 / 2 = 195.5 rounds away from zero: band 1 starts at 196.
    EXPECT_EQ(Pixel(shot, 4 + 0, 13), kBlack);
    EXPECT_EQ(Pixel(shot, 4 + 195, 13), kBlack);
    EXPECT_EQ(Pixel(shot, 4 + 196, 13), kNavy);
    EXPECT_EQ(Pixel(shot, 4 + 390, 13), kNavy);
}

TEST(WordcapGradient, SixtyFourBandsFromBlackToTheCaptionColour) {
    TClassicDesktop desktop;
    TGradientForm form;
    const QImage shot = form.Shot();
    auto blue = [&](int offset) { return Pixel(shot, 4 + offset, 13); };
    // Band i starts at round(i * 391 / 64), its blue is round(i * 128 / 63).
    EXPECT_EQ(blue(5), qRgb(0, 0, 0));     // band 0: 0..5
    EXPECT_EQ(blue(6), qRgb(0, 0, 2));     // band 1 from 6.1 -> 6; 2.03 -> 2
    EXPECT_EQ(blue(195), qRgb(0, 0, 63));  // band 31: 62.98 -> 63
    EXPECT_EQ(blue(196), qRgb(0, 0, 65));  // band 32 from 195.5 -> 196; 65.02 -> 65
    EXPECT_EQ(blue(378), qRgb(0, 0, 124)); // band 61: 123.9 -> 124
    EXPECT_EQ(blue(379), qRgb(0, 0, 126)); // band 62 from 378.8 -> 379
    EXPECT_EQ(blue(385), qRgb(0, 0, 128)); // band 63 from 384.9 -> 385
    EXPECT_EQ(blue(390), qRgb(0, 0, 128));
    // Every row of the bar, and only the bar.
    EXPECT_EQ(Pixel(shot, 4 + 196, 4), qRgb(0, 0, 65));
    EXPECT_EQ(Pixel(shot, 4 + 196, 21), qRgb(0, 0, 65));
    EXPECT_NE(Pixel(shot, 4 + 196, 22), qRgb(0, 0, 65));
}

TEST(WordcapGradient, OwnColoursPerActivity) {
    TClassicDesktop desktop;
    TGradientForm form;
    form.Caption->SetNumColors(2);
    form.Caption->SetColorLeftInActive(RgbColor(10, 200, 30));
    form.Caption->SetColorRightInActive(RgbColor(250, 0, 5));
    form.SetActive(false);
    const QImage shot = form.Shot();
    EXPECT_EQ(Pixel(shot, 4 + 10, 13), qRgb(10, 200, 30));
    EXPECT_EQ(Pixel(shot, 4 + 300, 13), qRgb(250, 0, 5));
}

TEST(WordcapGradient, FlatColourForNeverAndInactiveWhenActive) {
    TClassicDesktop desktop;
    TGradientForm form;
    form.Frame->SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
    form.Caption->SetEnabled(geNever);
    QImage shot = form.Shot();
    // The text area and the strip around the buttons alike.
    for (const int x : {30, 200, 330, 376}) {
        EXPECT_EQ(Pixel(shot, x, 13), kNavy) << x;
    }
    EXPECT_EQ(Pixel(shot, 380, 4), kNavy);

    form.Caption->SetEnabled(geWhenActive);
    form.SetActive(false);
    shot = form.Shot();
    for (const int x : {30, 200, 330, 376}) {
        EXPECT_EQ(Pixel(shot, x, 13), kGrey) << x;
    }
    form.SetActive(true);
    shot = form.Shot();
    // Gradient again over 4..339: x 30 is in band 5 (26..30), blue 10.
    EXPECT_EQ(Pixel(shot, 30, 13), qRgb(0, 0, 10));
}

TEST(WordcapGradient, SmartGradientByColourDepth) {
    EXPECT_TRUE(ZEZUzavivAzuroze::GradientWanted(geSmart, true, 8));
    EXPECT_FALSE(ZEZUzavivAzuroze::GradientWanted(geSmart, false, 8));
    EXPECT_TRUE(ZEZUzavivAzuroze::GradientWanted(geSmart, false, 16));
    EXPECT_FALSE(ZEZUzavivAzuroze::GradientWanted(geSmart, true, 4));
    EXPECT_TRUE(ZEZUzavivAzuroze::GradientWanted(geAlways, false, 1));
    EXPECT_FALSE(ZEZUzavivAzuroze::GradientWanted(geNever, true, 32));
    EXPECT_TRUE(ZEZUzavivAzuroze::GradientWanted(geWhenActive, true, 1));
    EXPECT_FALSE(ZEZUzavivAzuroze::GradientWanted(geWhenActive, false, 32));
}

// ---- icon, buttons, borders ----

TEST(WordcapPainting, ButtonsAndFrameAroundTheGradient) {
    TClassicDesktop desktop;
    TCaptionForm form(399);
    form.SetActive(true);
    const QImage shot = form.Shot();
    // Close: inset right edge 393, 16 wide, y 6..19.
    EXPECT_EQ(Pixel(shot, 377, 6), k3DLight);
    EXPECT_EQ(Pixel(shot, 378, 7), qRgb(255, 255, 255));
    EXPECT_EQ(Pixel(shot, 392, 19), kBlack);
    EXPECT_EQ(Pixel(shot, 379, 8), kButtonFace);
    // Two pixels of bar, then maximize 359..374 and minimize 343..358.
    EXPECT_EQ(Pixel(shot, 376, 13), kNavy);
    EXPECT_EQ(Pixel(shot, 359, 6), k3DLight);
    EXPECT_EQ(Pixel(shot, 343, 6), k3DLight);
    EXPECT_EQ(Pixel(shot, 342, 13), kNavy);
    // The frame stays the frame's: raised edge, border colour.
    EXPECT_EQ(Pixel(shot, 0, 60), k3DLight);
    EXPECT_EQ(Pixel(shot, 1, 60), qRgb(255, 255, 255));
    EXPECT_EQ(Pixel(shot, 2, 60), kButtonFace);
    EXPECT_EQ(Pixel(shot, 398, 60), kBlack);
}

TEST(WordcapPainting, ToolWindowHasTheSmallCaptionAndACloseButtonOnly) {
    TClassicDesktop desktop;
    TCaptionForm form(399);
    form.Frame->SetBorderStyle(bsToolWindow);
    form.SetActive(true);
    const QImage shot = form.Shot();
    // Bar x 3..396, y 3..17; close 10 wide at 384..393, y 5..14.
    EXPECT_EQ(Pixel(shot, 384, 5), k3DLight);
    EXPECT_EQ(Pixel(shot, 393, 14), kBlack);
    EXPECT_EQ(Pixel(shot, 383, 10), kNavy);
    EXPECT_EQ(Pixel(shot, 383, 16), kNavy); // last row of the bar
    EXPECT_NE(Pixel(shot, 383, 17), kNavy); // the line under it
    // No further button and no icon: gradient up to the close button.
    for (int x = 3; x < 383; ++x) {
        ASSERT_EQ(qRed(Pixel(shot, x, 10)), 0) << x;
        ASSERT_EQ(qGreen(Pixel(shot, x, 10)), 0) << x;
    }
    EXPECT_EQ(form.Frame->ClientRect().Top, 3 + 15);
}

TEST(WordcapPainting, IconAtSmallIconSizeLeftOfTheText) {
    TClassicDesktop desktop;
    TCaptionForm form(399);
    QPixmap red(32, 32);
    red.fill(Qt::red);
    form.Form->setWindowIcon(QIcon(red));
    form.SetActive(true);
    QImage shot = form.Shot();
    // Text rectangle from 4; one pixel in, the icon at +1: x 6..21, y 5..20.
    EXPECT_EQ(Pixel(shot, 6, 5), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(shot, 21, 20), qRgb(255, 0, 0));
    EXPECT_NE(Pixel(shot, 22, 12), qRgb(255, 0, 0));
    EXPECT_NE(Pixel(shot, 5, 12), qRgb(255, 0, 0));

    // A zero small-icon metric falls back to the caption button size.
    SetSystemMetric(SM_CXSMICON, 0);
    SetSystemMetric(SM_CYSMICON, 0);
    form.Caption->SetEnabled(geNever);
    shot = form.Shot();
    EXPECT_EQ(Pixel(shot, 23, 5), qRgb(255, 0, 0));
}

TEST(WordcapPainting, DrawCaptionHandlerGetsTheTextRectangle) {
    TClassicDesktop desktop;
    TCaptionForm form(400);
    TRect seen;
    QFont font;
    form.Caption->OnDrawCaption = [&](ZEZUzavivAzuroze& sender, QPainter& canvas, const TRect& r) {
        EXPECT_EQ(&sender, form.Caption);
        seen = r;
        font = canvas.font();
        canvas.fillRect(r.ToQRect(), Qt::green);
    };
    const QImage shot = form.Shot();
    // After the icon: 4 + 1 + 16 + 1; the buttons take 56 off 396.
    EXPECT_EQ(seen, (TRect{22, 4, 340, 22}));
    EXPECT_EQ(font, form.Caption->CaptionFont());
    EXPECT_EQ(Pixel(shot, 300, 21), qRgb(0, 255, 0));
}

// ---- the text parts ----

namespace {

// Parts in three colours over a flat bar with no icon and no buttons.
struct TPartsForm : TCaptionForm {
    int Widths[3];
    explicit TPartsForm(int width) : TCaptionForm(width) {
        Frame->SetBorderIcons(0);
        Caption->SetEnabled(geNever);
        Caption->CompanyText()->SetCaption("Company");
        Caption->CompanyText()->SetColorActive(RgbColor(255, 0, 0));
        Caption->AppNameText()->SetCaption("AppName");
        Caption->AppNameText()->SetColorActive(RgbColor(0, 255, 0));
        Caption->CaptionText()->SetCaption("Caption");
        Caption->CaptionText()->SetColorActive(RgbColor(255, 255, 0));
        SetActive(true);
        const QFontMetrics metrics(Caption->CaptionFont());
        Widths[0] = metrics.horizontalAdvance("Company") + 3;
        Widths[1] = metrics.horizontalAdvance("AppName") + 3;
        Widths[2] = metrics.horizontalAdvance("Caption") + 3;
    }
};

} // namespace

TEST(WordcapParts, DroppedFromTheLeftAsTheWindowNarrows) {
    TClassicDesktop desktop;
    TPartsForm probe(400);
    const int all = probe.Widths[0] + probe.Widths[1] + probe.Widths[2];
    const int lastTwo = probe.Widths[1] + probe.Widths[2];
    ASSERT_EQ(probe.Form->windowTitle(), "Company AppName Caption");

    struct TStep {
        int BarWidth;
        bool Company, AppName;
    };
    // The bar is the form's width less 8; a part set is shown while its
    // width sum is below the bar's.
    for (const TStep step :
         {TStep{all + 1, true, true}, TStep{all, false, true}, TStep{lastTwo + 1, false, true},
          TStep{lastTwo, false, false}, TStep{probe.Widths[2] - 20, false, false}}) {
        SCOPED_TRACE(step.BarWidth);
        probe.Form->resize(step.BarWidth + 8, 120);
        QApplication::processEvents();
        const QImage shot = probe.Shot();
        const TRect bar = probe.Caption->TextRect();
        ASSERT_EQ(bar.Width(), step.BarWidth);
        EXPECT_EQ(!Columns(shot, bar, IsRed).empty(), step.Company);
        EXPECT_EQ(!Columns(shot, bar, IsGreen).empty(), step.AppName);
        const std::vector<int> yellow = Columns(shot, bar, IsYellow);
        ASSERT_FALSE(yellow.empty()); // the caption part always shows
        EXPECT_LT(yellow.back(), bar.Right);
    }
}

TEST(WordcapParts, JustificationPlacesTheParts) {
    TClassicDesktop desktop;
    TPartsForm form(400);
    form.Caption->CompanyText()->SetVisible(false);
    form.Caption->AppNameText()->SetVisible(false);
    const int advance = form.Widths[2] - 3;
    const TRect bar = form.Caption->TextRect(); // 4..396
    auto firstAndLast = [&] {
        const std::vector<int> yellow = Columns(form.Shot(), bar, IsYellow);
        return std::pair(yellow.front(), yellow.back());
    };
    for (const TJustification left : {jAuto, jLeft}) {
        form.Caption->SetJustification(left);
        EXPECT_NEAR(firstAndLast().first, 4 + 3, 2);
    }
    form.Caption->SetJustification(jRight);
    EXPECT_NEAR(firstAndLast().second, 396 - 1, 2);
    form.Caption->SetJustification(jCenter);
    const int start = 4 + (392 - (advance + 3)) / 2 + 3;
    EXPECT_NEAR(firstAndLast().first, start, 2);
}

TEST(WordcapParts, InactiveColoursAndTheFramesCaptionStaysOut) {
    TClassicDesktop desktop;
    TPartsForm form(400);
    form.Caption->CompanyText()->SetColorInactive(RgbColor(0, 255, 0));
    form.SetActive(false);
    const QImage shot = form.Shot();
    const TRect bar = form.Caption->TextRect();
    EXPECT_TRUE(Columns(shot, bar, IsRed).empty());
    EXPECT_FALSE(Columns(shot, bar, IsGreen).empty());
    EXPECT_EQ(Pixel(shot, 395, 5), kGrey);
}

TEST(WordcapText, DerivedCaptionText) {
    TCaptionForm form(400);
    ZEZUzavivAzuroze& c = *form.Caption;
    c.CompanyText()->SetCaption("qd's -");
    c.AppNameText()->SetCaption("Program -");
    c.AppNameText()->SetVisible(false);
    struct TCase {
        const char* Title;
        const char* Derived;
    };
    for (const TCase k :
         {TCase{"qd's - Lumivane 98", "Lumivane 98"},
          // no company text: only a leading blank goes
          TCase{" Hello", "Hello"}, TCase{"  Hello", " Hello"}, TCase{"Hello", "Hello"},
          // everything after the first occurrence
          TCase{"x qd's - y qd's - z", "y qd's - z"}, TCase{"qd's -", ""}, TCase{"", ""}}) {
        form.Form->setWindowTitle(k.Title);
        EXPECT_EQ(c.CaptionText()->Caption(), k.Derived) << k.Title;
    }
    c.AppNameText()->SetVisible(true);
    form.Form->setWindowTitle("qd's - Program - Viewer");
    EXPECT_EQ(c.CaptionText()->Caption(), "Viewer");
    c.CompanyText()->SetVisible(false);
    form.Form->setWindowTitle("qd's - Program - Viewer");
    EXPECT_EQ(c.CaptionText()->Caption(), "Viewer");
    form.Form->setWindowTitle("Other Program - Viewer");
    EXPECT_EQ(c.CaptionText()->Caption(), "Viewer");
}

TEST(WordcapText, FormCaptionComposition) {
    TCaptionForm form(400, "qd's - Lumivane 98");
    ZEZUzavivAzuroze& c = *form.Caption;
    // The main window's settings, in the order they are applied.
    c.CompanyText()->SetCaption("qd's -");
    c.CompanyText()->SetFontKind(fkSystemBI);
    c.AppNameText()->SetCaption("Program -");
    c.AppNameText()->SetVisible(false);
    c.CaptionText()->SetCaption("Lumivane 98");
    EXPECT_EQ(form.Form->windowTitle(), "qd's - Lumivane 98");

    c.AppNameText()->SetVisible(true);
    EXPECT_EQ(form.Form->windowTitle(), "qd's - Program - Lumivane 98");
    c.CaptionText()->SetVisible(false);
    EXPECT_EQ(form.Form->windowTitle(), "qd's - Program -");
    c.CompanyText()->SetVisible(false);
    EXPECT_EQ(form.Form->windowTitle(), "Program -");
    c.CaptionText()->SetVisible(true);
    c.AppNameText()->SetCaption("");
    // An empty visible part brings no blank.
    EXPECT_EQ(form.Form->windowTitle(), "Lumivane 98");
    c.CompanyText()->SetVisible(true);
    EXPECT_EQ(form.Form->windowTitle(), "qd's - Lumivane 98");
}

TEST(WordcapText, PaintingRefreshesTheStoredCaption) {
    TCaptionForm form(400, "qd's - Lumivane 98");
    form.Caption->CompanyText()->SetCaption("qd's -");
    form.Form->setWindowTitle("qd's - Other");
    form.Shot();
    EXPECT_EQ(form.Caption->CaptionText()->StoredCaption(), "Other");
    EXPECT_EQ(form.Form->windowTitle(), "qd's - Other"); // painting leaves the title alone
}

TEST(WordcapFonts, FontKinds) {
    TCaptionForm form;
    TCompanyText& part = *form.Caption->CompanyText();
    part.SetFontKind(fkSystemBI);
    EXPECT_TRUE(part.Font().bold());
    EXPECT_TRUE(part.Font().italic());
    EXPECT_EQ(part.Font().pixelSize(), 11);
    part.SetFontKind(fkSystemI);
    EXPECT_TRUE(part.Font().italic());
    EXPECT_TRUE(part.Font().bold()); // the caption font is bold already

    // Setting a font makes the kind custom and keeps the font as given.
    QFont big("Liberation Serif");
    big.setPixelSize(30);
    part.SetFont(big);
    EXPECT_EQ(part.FontKind(), fkCustom);
    EXPECT_EQ(part.Font().pixelSize(), 30);
    part.SetFontKind(fkCustom);
    EXPECT_EQ(part.Font().pixelSize(), 30);
}

TEST(WordcapFonts, AutoHeightMatchesTheCaptionFontsCharacterHeight) {
    TCaptionForm form;
    TCompanyText& part = *form.Caption->AppNameText();
    QFont big("Liberation Serif");
    big.setPixelSize(30);
    big.setItalic(true);
    part.SetFont(big);
    part.SetFontKind(fkAutoHeight);
    EXPECT_EQ(part.FontKind(), fkAutoHeight);
    EXPECT_EQ(part.Font().pixelSize(), 11);
    EXPECT_EQ(part.Font().family(), "Liberation Serif");
    EXPECT_TRUE(part.Font().italic());

    // A font set while auto-height is on is brought to the height as well.
    QFont small("Liberation Mono");
    small.setPixelSize(6);
    part.SetFont(small);
    EXPECT_EQ(part.FontKind(), fkAutoHeight);
    EXPECT_EQ(part.Font().pixelSize(), 11);
    EXPECT_EQ(part.Font().family(), "Liberation Mono");
}

// ---- hooking ----

TEST(WordcapHooking, ActivationEventsDecideTheLook) {
    TClassicDesktop desktop;
    TCaptionForm form(399);
    form.Caption->SetEnabled(geNever);
    form.SetActive(false);
    EXPECT_TRUE(form.Caption->ActiveKnown());
    EXPECT_FALSE(form.Caption->IsActive());
    EXPECT_EQ(Pixel(form.Shot(), 390 - 56, 13), kGrey);
    form.SetActive(true);
    EXPECT_EQ(Pixel(form.Shot(), 390 - 56, 13), kNavy);
}

TEST(WordcapHooking, SizingBordersSetTheirCursors) {
    TCaptionForm form;
    const std::pair<int, Qt::CursorShape> cases[] = {
        {HTLEFT, Qt::SizeHorCursor},       {HTRIGHT, Qt::SizeHorCursor},
        {HTTOP, Qt::SizeVerCursor},        {HTBOTTOM, Qt::SizeVerCursor},
        {HTTOPLEFT, Qt::SizeFDiagCursor},  {HTBOTTOMRIGHT, Qt::SizeFDiagCursor},
        {HTTOPRIGHT, Qt::SizeBDiagCursor}, {HTBOTTOMLEFT, Qt::SizeBDiagCursor},
    };
    for (const auto& [hit, shape] : cases) {
        TSetCursorEvent event(hit);
        QCoreApplication::sendEvent(form.Form.get(), &event);
        EXPECT_EQ(form.Form->windowHandle()->cursor().shape(), shape) << hit;
    }
    // Anything else goes on to the frame, which shows the plain arrow.
    TSetCursorEvent caption(HTCAPTION);
    QCoreApplication::sendEvent(form.Form.get(), &caption);
    EXPECT_EQ(form.Form->windowHandle()->cursor().shape(), Qt::ArrowCursor);
}

TEST(WordcapHooking, NewWindowIsHookedAgain) {
    TClassicDesktop desktop;
    TCaptionForm form(399);
    ASSERT_EQ(form.Caption->HookedWindow(), form.Form->windowHandle());
    form.Form->Recreate();
    // The old window went: the painter waits for the new one.
    EXPECT_TRUE(form.Caption->Recreating());
    EXPECT_FALSE(form.Caption->Hooked());
    QApplication::processEvents();
    EXPECT_TRUE(form.Caption->Hooked());
    EXPECT_FALSE(form.Caption->Recreating());
    EXPECT_EQ(form.Caption->HookedWindow(), form.Form->windowHandle());
    form.SetActive(true);
    form.Caption->SetEnabled(geNever);
    EXPECT_EQ(Pixel(form.Shot(), 200, 13), kNavy);
}

TEST(WordcapHooking, RemovingThePainterBringsThePlainCaptionBack) {
    TClassicDesktop desktop;
    TCaptionForm form(399);
    form.Caption->CompanyText()->SetCaption("qd's -");
    form.Form->setWindowTitle("qd's - Lumivane 98");
    form.Caption->SetEnabled(geAlways);
    form.Caption->SetColorLeftActive(RgbColor(255, 0, 255));
    form.Caption->SetColorRightActive(RgbColor(255, 0, 255));
    form.SetActive(true);
    ASSERT_EQ(Pixel(form.Shot(), 300, 5), qRgb(255, 0, 255));
    delete form.Caption;
    EXPECT_EQ(form.Form->windowTitle(), "Lumivane 98");
    // The frame's own caption: flat, in the window system's colour.
    EXPECT_EQ(Pixel(form.Shot(), 300, 5), kNavy);
}

TEST(WordcapHooking, GoesQuietlyWithItsForm) {
    auto form = std::make_unique<TCaptionForm>(300, "qd's - Lumivane 98");
    form->Caption->CompanyText()->SetCaption("qd's -");
    QPointer<ZEZUzavivAzuroze> caption = form->Caption;
    QPointer<TNonClientFrame> frame = form->Frame;
    form->Form.reset(); // the form takes the frame and the painter with it
    EXPECT_TRUE(caption.isNull());
    EXPECT_TRUE(frame.isNull());
}
