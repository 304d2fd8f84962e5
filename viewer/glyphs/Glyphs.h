#pragma once
// The main toolbar's glyphs, kept as a resource of the program.

#include <QImage>
#include <QString>

// The glyph NAME ("tbOpen", "tbSave", "tbFind", "tbFindNext", "tbCopy",
// "tbSetup", and the About button's "ebAbout" and "ebAboutNoFocus"); a name
// without a glyph is an error.
QImage ToolbarGlyph(const QString& name);
