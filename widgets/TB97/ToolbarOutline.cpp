#include "widgets/TB97/ToolbarOutline.h"

#include "widgets/TB97/DragRules.h"

#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

namespace tb97 {

namespace {

// Everything the outline may be drawn on: all screens together.
QRect Desktop() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->virtualGeometry() : QRect(0, 0, 1, 1);
}

// The 8 × 8 checkerboard the outline is drawn with: black and white pixels
// alternating, aligned to the screen so that a moved frame keeps the pattern
// where it overlaps its old place.
const QPixmap& OutlinePattern() {
    static const QPixmap pattern = [] {
        QImage image(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                image.setPixel(x, y, (x + y) % 2 == 0 ? 0xFF000000u : 0xFFFFFFFFu);
            }
        }
        return QPixmap::fromImage(image);
    }();
    return pattern;
}

} // namespace

TToolbarOutline::TToolbarOutline()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                           Qt::X11BypassWindowManagerHint) {
    setObjectName("ToolbarOutline");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(Desktop());
}

void TToolbarOutline::SetOutline(const QRect& rect, int thickness) {
    const QRegion frame = OutlineRegion(rect, thickness);
    if (frame == shown_) {
        lastPainted_ = QRegion();
        return;
    }
    lastPainted_ = frame - shown_;
    shown_ = frame;
    if (frame.isEmpty()) {
        // An empty mask would show the whole window.
        hide();
        return;
    }
    const QPoint origin = geometry().topLeft();
    setMask(frame.translated(-origin));
    if (!isVisible()) {
        show();
    }
    // What stays covered keeps its pixels; only the new part is drawn, now,
    // so the outline follows the pointer without waiting for the next frame.
    repaint(lastPainted_.translated(-origin));
}

void TToolbarOutline::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QBrush brush(OutlinePattern());
    // Screen-aligned: the same screen pixel always gets the same colour.
    brush.setTransform(QTransform::fromTranslate(-geometry().x(), -geometry().y()));
    for (const QRect& r : event->region()) {
        painter.fillRect(r, brush);
    }
}

} // namespace tb97
