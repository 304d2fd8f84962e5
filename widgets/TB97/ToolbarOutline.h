#pragma once
// The outline shown while a toolbar is dragged or sized: a checkerboard frame
// in a window of its own above every other, which takes no input and covers
// the screens, shaped to the frame. Moving the outline reshapes the window, so
// the window system uncovers only what the frame leaves and draws only what
// it newly covers; nothing is read back from the screen.

#include <QRegion>
#include <QWidget>

namespace tb97 {

class TToolbarOutline : public QWidget {
    Q_OBJECT
public:
    TToolbarOutline();

    // Shows the frame THICKNESS pixels wide inside RECT (screen coordinates);
    // an empty RECT hides the outline.
    void SetOutline(const QRect& rect, int thickness);
    // The frame shown now, in screen coordinates.
    const QRegion& Shown() const { return shown_; }
    // What the last change painted, in screen coordinates: the part of the new
    // frame that the old one did not cover.
    const QRegion& LastPainted() const { return lastPainted_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRegion shown_;
    QRegion lastPainted_;
};

} // namespace tb97
