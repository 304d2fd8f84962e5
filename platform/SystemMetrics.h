#pragma once
// The window system's metrics and non-client fonts, with the classic values of
// a 96-dpi desktop. One place for the frame, the caption painter and the
// floating toolbars, so that all of them agree on every size.

#include <optional>
#include <string>

// Metric numbers, as the window system numbers them.
enum TSystemMetric : int {
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXDLGFRAME = 7,
    SM_CYDLGFRAME = 8,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CYMENU = 15,
    SM_CXMIN = 28,
    SM_CYMIN = 29,
    SM_CXSIZE = 30,
    SM_CYSIZE = 31,
    SM_CXFRAME = 32,
    SM_CYFRAME = 33,
    SM_CXMINTRACK = 34,
    SM_CYMINTRACK = 35,
    SM_CXDOUBLECLK = 36,
    SM_CYDOUBLECLK = 37,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
    SM_CYSMCAPTION = 51,
    SM_CXSMSIZE = 52,
    SM_CYSMSIZE = 53,
    SM_CXDRAG = 68,
    SM_CYDRAG = 69,
};
// Same sizes under their later names.
constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
constexpr int SM_CXSIZEFRAME = SM_CXFRAME;
constexpr int SM_CYSIZEFRAME = SM_CYFRAME;

constexpr int kSystemMetricCount = 100;

// The metric's value; 0 for a number the window system does not know.
int GetSystemMetrics(int index);
// Tests change a metric (for example to 0, as some systems report) and put
// the classic values back. Numbers out of range are ignored.
void SetSystemMetric(int index, int value);
void ResetSystemMetrics();

// A font as the window system describes it: a negative height is the
// character height in pixels, a positive one the cell height; weight 400 is
// regular, 700 bold.
struct TLogFont {
    int Height = 0;
    int Weight = 400;
    bool Italic = false;
    std::string FaceName;
};

// The non-client metrics: caption buttons and bars, and the fonts of
// captions, menus, the status bar and message boxes.
struct TNonClientMetrics {
    int iBorderWidth = 1;
    int iScrollWidth = 16;
    int iScrollHeight = 16;
    int iCaptionWidth = 18;
    int iCaptionHeight = 18;
    TLogFont lfCaptionFont{-11, 700, false, "MS Sans Serif"};
    int iSmCaptionWidth = 12;
    int iSmCaptionHeight = 14;
    TLogFont lfSmCaptionFont{-11, 700, false, "MS Sans Serif"};
    int iMenuWidth = 18;
    int iMenuHeight = 18;
    TLogFont lfMenuFont{-11, 400, false, "MS Sans Serif"};
    TLogFont lfStatusFont{-11, 400, false, "MS Sans Serif"};
    TLogFont lfMessageFont{-11, 400, false, "MS Sans Serif"};
};

// The current non-client metrics, or nothing when they cannot be had (a
// caller then falls back to the stock system font).
std::optional<TNonClientMetrics> GetNonClientMetrics();
// Tests replace the metrics, or take them away with std::nullopt;
// ResetSystemMetrics brings the classic ones back.
void SetNonClientMetrics(std::optional<TNonClientMetrics> metrics);

// The stock system font: what text falls back to when nothing better is known.
TLogFont StockSystemFont();
