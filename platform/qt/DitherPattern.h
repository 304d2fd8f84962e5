#pragma once
// The 8 × 8 pattern pressed-down flat buttons are filled with: button face,
// with button highlight where column and row are both even or both odd. One
// pattern, shared by every button family, made on first use.

#include <QPixmap>

const QPixmap& DitherPattern();
// Drops the pattern; with ONLYIFSTALE only when the button face or highlight
// colour changed since it was made.
void DropDitherPattern(bool onlyIfStale);
