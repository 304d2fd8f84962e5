#include "widgets/TB97/HintSuspension.h"

#include <QCoreApplication>
#include <QEvent>
#include <QToolTip>

namespace tb97 {

namespace {

int suspensions = 0;

} // namespace

THintSuspension::THintSuspension() {
    ++suspensions;
    QToolTip::hideText();
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
    }
}

THintSuspension::~THintSuspension() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
    }
    --suspensions;
}

bool THintSuspension::Active() {
    return suspensions > 0;
}

bool THintSuspension::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip || event->type() == QEvent::WhatsThis) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tb97
