// The frame's pointer handling: pressing, dragging and clicking in the
// non-client area moves and sizes the window and works the caption buttons.

#include "platform/SystemMetrics.h"
#include "platform/qt/NonClientFrame.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWhatsThis>
#include <QWidget>
#include <QWindow>

namespace {

bool IsSizingCode(int hitTest) {
    return hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT;
}

bool IsButtonCode(int hitTest) {
    return hitTest == HTCLOSE || hitTest == HTMINBUTTON || hitTest == HTMAXBUTTON ||
           hitTest == HTHELP;
}

Qt::Edges EdgesOf(int hitTest) {
    switch (hitTest) {
    case HTLEFT:
        return Qt::LeftEdge;
    case HTRIGHT:
        return Qt::RightEdge;
    case HTTOP:
        return Qt::TopEdge;
    case HTBOTTOM:
        return Qt::BottomEdge;
    case HTTOPLEFT:
        return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT:
        return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT:
        return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return {};
    }
}

} // namespace

// ---- the pointer ----

bool TNonClientFrame::OnMousePress(QMouseEvent* event) {
    const int hit = HitTest(event->position().toPoint());
    if (hit == HTCLIENT || hit == HTNOWHERE) {
        return false;
    }
    if (event->button() != Qt::LeftButton) {
        return true;
    }
    pressed_ = hit;
    pressGlobal_ = event->globalPosition().toPoint();
    pressGeometry_ = form_->geometry();
    if (hit == HTCAPTION) {
        // Moved by us once the pointer moves, never by the window system:
        // a press we take only after its release (a busy moment) would hand
        // it the pointer, and the second click of a double click with it;
        // asked later, it moves the window on from where the pointer is
        // then, a drag distance or more behind it.
        captionPending_ = true;
    } else if (IsSizingCode(hit)) {
        StartResize(hit);
    } else if (IsButtonCode(hit)) {
        pressedLook_ = true;
        RedrawFrame(true);
    }
    return true;
}

bool TNonClientFrame::OnMouseMove(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    const QPoint global = event->globalPosition().toPoint();
    if ((event->buttons() & Qt::LeftButton) == 0 || pressed_ == 0) {
        const int hit = HitTest(position);
        TSetCursorEvent setCursor(hit);
        QCoreApplication::sendEvent(form_, &setCursor);
        return false;
    }
    if (captionPending_) {
        const QPoint moved = global - pressGlobal_;
        if (qAbs(moved.x()) >= GetSystemMetrics(SM_CXDRAG) ||
            qAbs(moved.y()) >= GetSystemMetrics(SM_CYDRAG)) {
            captionPending_ = false;
            if (form_->isMaximized()) {
                pressed_ = 0; // a maximised window stays where it is
            } else {
                moving_ = true;
            }
        }
    }
    if (moving_) {
        form_->move(pressGeometry_.topLeft() + (global - pressGlobal_));
    } else if (sizing_ != 0) {
        TrackResize(global);
    } else if (IsButtonCode(pressed_)) {
        const bool over = HitTest(position) == pressed_;
        if (over != pressedLook_) {
            pressedLook_ = over;
            RedrawFrame(true);
        }
    }
    return true;
}

bool TNonClientFrame::OnMouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressed_ == 0) {
        return HitTest(event->position().toPoint()) != HTCLIENT && pressed_ != 0;
    }
    const int pressed = pressed_;
    const bool act =
        pressedLook_ && IsButtonCode(pressed) && HitTest(event->position().toPoint()) == pressed;
    const bool wasPressedLook = pressedLook_;
    pressed_ = 0;
    pressedLook_ = false;
    captionPending_ = false;
    moving_ = false;
    sizing_ = 0;
    if (wasPressedLook) {
        RedrawFrame(true);
    }
    if (act) {
        ButtonAction(pressed);
    }
    return true;
}

bool TNonClientFrame::OnDoubleClick(QMouseEvent* event) {
    const int hit = HitTest(event->position().toPoint());
    if (hit == HTCLIENT || hit == HTNOWHERE) {
        return false;
    }
    if (event->button() != Qt::LeftButton) {
        return true;
    }
    captionPending_ = false;
    if (hit == HTCAPTION && (CaptionButtons() & cbMaximize) != 0 &&
        (borderIcons_ & biMaximize) != 0) {
        pressed_ = 0;
        ToggleMaximized();
    } else if (hit == HTSYSMENU) {
        pressed_ = 0;
        form_->close();
    } else if (IsButtonCode(hit)) {
        // The second click of a fast pair is a click like the first.
        pressed_ = hit;
        pressedLook_ = true;
        RedrawFrame(true);
    }
    return true;
}

void TNonClientFrame::ButtonAction(int hitTest) {
    switch (hitTest) {
    case HTCLOSE:
        form_->close();
        break;
    case HTMINBUTTON:
        if ((borderIcons_ & biMinimize) != 0) {
            form_->isMinimized() ? form_->showNormal() : form_->showMinimized();
        }
        break;
    case HTMAXBUTTON:
        if ((borderIcons_ & biMaximize) != 0) {
            ToggleMaximized();
        }
        break;
    case HTHELP:
        QWhatsThis::enterWhatsThisMode();
        break;
    default:
        break;
    }
}

void TNonClientFrame::ToggleMaximized() {
    if (form_->isMaximized()) {
        form_->showNormal();
    } else {
        form_->showMaximized();
    }
}

bool TNonClientFrame::StartResize(int hitTest) {
    QWindow* window = Window();
    if (window != nullptr && window->startSystemResize(EdgesOf(hitTest))) {
        pressed_ = 0; // the window system sizes it from here on
        return true;
    }
    sizing_ = hitTest;
    return false;
}

void TNonClientFrame::TrackResize(QPoint globalPosition) {
    const QPoint delta = globalPosition - pressGlobal_;
    const Qt::Edges edges = EdgesOf(sizing_);
    const QSize smallest = form_->minimumSize().expandedTo(
        QSize(GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)));
    const QSize largest = form_->maximumSize();
    QRect rect = pressGeometry_;
    if (edges & Qt::LeftEdge) {
        const int width = qBound(smallest.width(), rect.width() - delta.x(), largest.width());
        rect.setLeft(rect.right() + 1 - width);
    }
    if (edges & Qt::RightEdge) {
        rect.setWidth(qBound(smallest.width(), rect.width() + delta.x(), largest.width()));
    }
    if (edges & Qt::TopEdge) {
        const int height = qBound(smallest.height(), rect.height() - delta.y(), largest.height());
        rect.setTop(rect.bottom() + 1 - height);
    }
    if (edges & Qt::BottomEdge) {
        rect.setHeight(qBound(smallest.height(), rect.height() + delta.y(), largest.height()));
    }
    form_->setGeometry(rect);
}
