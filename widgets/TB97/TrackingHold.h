#pragma once
// What a drag or resize of a toolbar takes for its time: the application's
// hints are suspended, the mouse stays with the toolbar, and every event of
// the application passes the tracker's filter first. All of it is given back
// when the hold goes, however the tracking ends.

#include "widgets/TB97/HintSuspension.h"

#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <optional>

namespace tb97 {

class TTrackingHold {
public:
    // Grabs the mouse for WIDGET (showing CURSOR, if given) when it is shown,
    // and puts FILTER in front of the application's events.
    TTrackingHold(QWidget* widget, QObject* filter, const std::optional<QCursor>& cursor = {});
    ~TTrackingHold();
    TTrackingHold(const TTrackingHold&) = delete;
    TTrackingHold& operator=(const TTrackingHold&) = delete;

    // Whether the mouse is still with the widget: hiding it, a popup or
    // another grab takes it away.
    bool MouseHeld() const;

private:
    THintSuspension hints_;
    QPointer<QWidget> widget_;
    QObject* filter_;
};

} // namespace tb97
