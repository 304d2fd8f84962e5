#include "widgets/TB97/ToolbarSep97.h"

#include "platform/qt/QtColor.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/TB97Common.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/WidgetProperty.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

QWidget* CheckedParent(QWidget* parent) {
    if (parent != nullptr && qobject_cast<TToolbar97*>(parent) == nullptr) {
        throw EInvalidOperation("TToolbarSep97 can only be placed on a TToolbar97");
    }
    return parent;
}

} // namespace

TToolbarSep97::TToolbarSep97(QWidget* parent) : QWidget(CheckedParent(parent)) {
    resize(FSizeHorz, 22);
}

void TToolbarSep97::SetParentToolbar(QWidget* parent) {
    setParent(CheckedParent(parent));
}

TToolbar97* TToolbarSep97::Toolbar() const {
    return qobject_cast<TToolbar97*>(parentWidget());
}

void TToolbarSep97::Rearrange() {
    if (TToolbar97* bar = Toolbar()) {
        bar->ArrangeControls();
    }
}

void TToolbarSep97::SetBlank(bool value) {
    if (StoreIfChanged(FBlank, value)) {
        update();
    }
}

void TToolbarSep97::SetSizeHorz(int value) {
    value = std::max(value, 1);
    if (StoreIfChanged(FSizeHorz, value)) {
        Rearrange();
    }
}

void TToolbarSep97::SetSizeVert(int value) {
    value = std::max(value, 1);
    if (StoreIfChanged(FSizeVert, value)) {
        Rearrange();
    }
}

void TToolbarSep97::paintEvent(QPaintEvent*) {
    if (FBlank) {
        return;
    }
    QPainter painter(this);
    const TToolbar97* bar = Toolbar();
    const TDock97* dock = bar != nullptr ? bar->DockedTo() : nullptr;
    const bool across =
        dock != nullptr && (dock->Position() == dpLeft || dock->Position() == dpRight);
    if (across) {
        painter.fillRect(QRect(0, height() / 2 - 1, width(), 1), ToQColor(clBtnShadow));
        painter.fillRect(QRect(0, height() / 2, width(), 1), ToQColor(clBtnHighlight));
    } else {
        painter.fillRect(QRect(width() / 2 - 1, 0, 1, height()), ToQColor(clBtnShadow));
        painter.fillRect(QRect(width() / 2, 0, 1, height()), ToQColor(clBtnHighlight));
    }
}

// The toolbar can be dragged by its separators too.
void TToolbarSep97::PassToToolbar(QMouseEvent* event) {
    TToolbar97* bar = Toolbar();
    if (bar == nullptr) {
        event->ignore();
        return;
    }
    const QPointF at = mapTo(bar, event->position().toPoint());
    QMouseEvent passed(event->type(), at, event->globalPosition(), event->button(),
                       event->buttons(), event->modifiers(), event->pointingDevice());
    QCoreApplication::sendEvent(bar, &passed);
}

void TToolbarSep97::mousePressEvent(QMouseEvent* event) {
    PassToToolbar(event);
}

void TToolbarSep97::mouseDoubleClickEvent(QMouseEvent* event) {
    PassToToolbar(event);
}
