#pragma once
// The frame's small drawing primitives: raised and sunken 3D edges, caption
// buttons with their glyphs, and the standard application icon. The window
// frame, the caption painter and the floating toolbars draw with these, so
// their buttons look the same.

#include <QIcon>
#include <QRect>

class QPainter;

enum class TCaptionGlyph { Close, Minimize, Maximize, Restore, Help };

// A button face with its glyph inside RECT. PRESSED sinks the edge and moves
// the glyph down and right by one pixel; INACTIVE greys the glyph.
void DrawCaptionButton(QPainter& painter, const QRect& rect, TCaptionGlyph glyph, bool pressed,
                       bool inactive);

// Two-pixel 3D edges around RECT, in the system colours.
void DrawRaisedEdge(QPainter& painter, const QRect& rect);
void DrawSunkenEdge(QPainter& painter, const QRect& rect);

// The icon a window shows when neither it nor the application has one.
QIcon StandardApplicationIcon();
