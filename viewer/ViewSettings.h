#pragma once
// How the view is shown, kept in the settings store under
// "Software\QD\Lumivane\View": the zoom in percent ("Zoom") and whether line
// numbers are shown ("LineNumbers", 0 or 1), both REG_DWORD. No Qt.

extern const char* const kViewKey; // "Software\QD\Lumivane\View"

constexpr int kMinZoom = 50;
constexpr int kMaxZoom = 400;
constexpr int kNormalZoom = 100;

// The zoom step after PERCENT, up or down; PERCENT itself at either end.
int ZoomStepIn(int percent);
int ZoomStepOut(int percent);

// The stored zoom, within kMinZoom..kMaxZoom; kNormalZoom when none is
// stored. A value of another type raises the store's data-type error.
int ReadZoom();
// The stored choice; false when none is stored.
bool ReadLineNumbers();
// Write, creating the key when missing; a refused write raises the store's
// write error. Nothing is written (false) while the product key is missing:
// the install check must not pass because the view was zoomed.
bool WriteZoom(int percent);
bool WriteLineNumbers(bool shown);
