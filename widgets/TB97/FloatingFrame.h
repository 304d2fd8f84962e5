#pragma once
// The frame of a floating toolbar: its metrics, its look (raised edge, small
// active caption, close button), where a point on it lands, and the pointer
// work on it: sizing cursors, the close button, starting a resize, and
// keeping activation with the form.

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

class QMouseEvent;
class QPainter;
class TToolbar97;

namespace tb97 {

class TFloatingResize;

// F: the sizing frame on every side; K: the small caption's height with the
// line below it.
struct TFloatMetrics {
    int Frame = 4;
    int Caption = 15;
};

// The window system's current values.
TFloatMetrics FloatingMetrics();
// What the frame and caption add to the client area's size.
QSize FloatingFrameSize(const TFloatMetrics& m);

// In window coordinates of a floating window of SIZE.
QRect FloatingCaptionRect(QSize size, const TFloatMetrics& m);
QRect FloatingCloseRect(QSize size, const TFloatMetrics& m);

// Where POINT lands on a floating window of SIZE: HTCLIENT (the caption
// counts as client, so a press there reaches the toolbar), HTCLOSE, or one of
// HTTOP, HTBOTTOM, HTLEFT, HTRIGHT within f + 1 pixels of that side; there
// are no corners.
int FloatingHitTest(QSize size, QPoint point, bool closeButton, const TFloatMetrics& m);

// TEXT as it fits WIDTH: unchanged when it fits, else ended with "..." and
// losing characters before the dots until it fits or is shorter than 5
// characters. MEASURE gives a text's width.
QString CutCaption(const QString& text, int width,
                   const std::function<int(const QString&)>& measure);

// Paints the frame, caption and close button of a floating window of SIZE.
void PaintFloatingFrame(QPainter& painter, QSize size, const QString& caption, bool closeButton,
                        bool closePressed, const TFloatMetrics& m);

// One per toolbar: the pointer on the floating frame, and activation. Watches
// the toolbar and its items.
class TFloatingFrame : public QObject {
public:
    explicit TFloatingFrame(TToolbar97* bar);
    ~TFloatingFrame() override;

    // A press on the toolbar while floating: true when the frame took it (an
    // edge starts resizing, the close button starts tracking).
    bool MousePress(QMouseEvent* event);
    // The close button is held with the pointer over it.
    bool ClosePressed() const { return closeTracking_ && closeOver_; }
    bool Resizing() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Floating() const;
    void UpdateCursor(QPoint position);
    bool TrackClose(QMouseEvent* event, bool release);
    void Activated();

    TToolbar97* bar_;
    bool closeTracking_ = false;
    bool closeOver_ = false;
    std::unique_ptr<TFloatingResize> resize_;
};

} // namespace tb97
