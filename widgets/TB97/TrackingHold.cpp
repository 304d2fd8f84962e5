#include "widgets/TB97/TrackingHold.h"

#include <QCoreApplication>

namespace tb97 {

TTrackingHold::TTrackingHold(QWidget* widget, QObject* filter, const std::optional<QCursor>& cursor)
    : widget_(widget), filter_(filter) {
    if (widget_ && widget_->isVisible()) {
        if (cursor) {
            widget_->grabMouse(*cursor);
        } else {
            widget_->grabMouse();
        }
    }
    QCoreApplication::instance()->installEventFilter(filter_);
}

TTrackingHold::~TTrackingHold() {
    QCoreApplication::instance()->removeEventFilter(filter_);
    if (MouseHeld()) {
        widget_->releaseMouse();
    }
}

bool TTrackingHold::MouseHeld() const {
    return widget_ && QWidget::mouseGrabber() == widget_;
}

} // namespace tb97
