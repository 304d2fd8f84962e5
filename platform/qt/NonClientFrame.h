#pragma once
// A top-level window's non-client area, drawn by us: the window system gives
// the window no frame, and this layer lays out, paints and hit-tests the
// sizing frame and the caption bar, moves and resizes the window, and works
// the caption buttons.
//
// Its messages go through the form as events, so an event filter installed on
// the form sees them before the frame's own handling, which comes last and
// only when no filter has taken the event:
//   TNcPaintEvent     the frame needs painting (caption and borders)
//   TNcActivateEvent  the window became active or inactive
//   TSetCursorEvent   the pointer is over a hit-test area
//   TNcDestroyEvent   the form's native window is about to go

#include "platform/qt/NonClientFrameGeometry.h"

#include <QEvent>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWindow>

class QMouseEvent;
class QPaintEvent;
class QPainter;
class QWidget;
class QWindow;

class TNcPaintEvent : public QEvent {
public:
    // DC paints on the window in window coordinates; REGION is what needs
    // painting. A filter may take parts out of the region before the
    // frame's own painting sees it.
    TNcPaintEvent(QPainter* dc, QRegion region);
    static QEvent::Type EventType();
    QPainter* Dc() const { return dc_; }
    const QRegion& Region() const { return region_; }
    void SetRegion(QRegion region) { region_ = std::move(region); }

private:
    QPainter* dc_;
    QRegion region_;
};

class TNcActivateEvent : public QEvent {
public:
    explicit TNcActivateEvent(bool active);
    static QEvent::Type EventType();
    bool Active() const { return active_; }

private:
    bool active_;
};

class TSetCursorEvent : public QEvent {
public:
    explicit TSetCursorEvent(int hitTest);
    static QEvent::Type EventType();
    int HitTest() const { return hitTest_; }

private:
    int hitTest_;
};

class TNcDestroyEvent : public QEvent {
public:
    TNcDestroyEvent();
    static QEvent::Type EventType();
};

class TNonClientFrame : public QObject {
    Q_OBJECT
public:
    // FORM becomes a frameless top-level window whose frame this draws. The
    // frame is a child of the form and goes with it.
    explicit TNonClientFrame(QWidget* form);
    ~TNonClientFrame() override;

    // The frame of FORM, or null when it has none.
    static TNonClientFrame* Of(const QWidget* form);

    QWidget* Form() const { return form_; }
    // The native window the frame currently serves.
    QWindow* Window() const;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);

    // Geometry, in window coordinates (the window's top-left is 0,0).
    TRect WindowRect() const;
    TRect FrameSize() const; // thickness of each border as Left/Top/Right/Bottom
    TRect CaptionRect() const;
    TRect ClientRect() const;
    int CaptionButtonWidth() const;
    TCaptionButtons CaptionButtons() const;
    // The caption bar's layout for the window's present size and state.
    TCaptionLayout CaptionLayout() const;
    int HitTest(QPoint position) const;

    // Whether the frame shows the active look (the window system's view).
    bool Active() const { return active_; }
    // The button held down with the pointer over it, drawn pressed; 0 if none.
    int PressedButton() const { return pressedLook_ ? pressed_ : 0; }

    // Has the frame painted again: at the next paint, or at once.
    void RedrawFrame(bool now);

    // The pointer, set for a hit-test area: sizing arrows on the borders.
    void SetCursorFor(int hitTest);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyLayout();
    void WatchWindow();
    bool OnPaint(QPaintEvent* event);
    void PaintDefault(TNcPaintEvent& event);
    void PaintStandardCaption(QPainter& painter, const TCaptionLayout& layout);
    void PaintBorders(QPainter& painter);
    void PaintPressedButton(QPainter& painter, const TCaptionLayout& layout);
    bool OnMousePress(QMouseEvent* event);
    bool OnMouseMove(QMouseEvent* event);
    bool OnMouseRelease(QMouseEvent* event);
    bool OnDoubleClick(QMouseEvent* event);
    void ButtonAction(int hitTest);
    void ToggleMaximized();
    bool StartResize(int hitTest);
    void TrackResize(QPoint globalPosition);
    QRegion NonClientRegion() const;
    TRect ButtonRect(int hitTest) const;

    QWidget* form_;
    QPointer<QWindow> window_;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    bool active_ = false;

    // Pointer tracking.
    int pressed_ = 0;          // hit-test code of the area pressed
    bool pressedLook_ = false; // a caption button is held with the pointer over it
    bool captionPending_ = false;
    bool moving_ = false; // moving the window with the pointer
    int sizing_ = 0;      // sizing by hand: the border's hit-test code
    QPoint pressGlobal_;
    QRect pressGeometry_;
};
