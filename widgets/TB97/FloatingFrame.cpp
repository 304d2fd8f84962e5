#include "widgets/TB97/FloatingFrame.h"

#include "platform/SystemMetrics.h"
#include "platform/qt/FrameControls.h"
#include "platform/qt/NonClientFrame.h"
#include "platform/qt/QtColor.h"
#include "platform/qt/QtFont.h"
#include "widgets/TB97/FloatingResize.h"
#include "widgets/TB97/Toolbar97.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kMinCutLength = 5;

// The small caption's font from the non-client metrics, the way the form's
// caption maps them.
QFont SmallCaptionFont() {
    const std::optional<TNonClientMetrics> metrics = GetNonClientMetrics();
    const TLogFont logFont =
        metrics ? metrics->lfSmCaptionFont : TNonClientMetrics{}.lfSmCaptionFont;
    return ToQFont(logFont);
}

bool IsEdge(int hit) {
    return hit == HTLEFT || hit == HTRIGHT || hit == HTTOP || hit == HTBOTTOM;
}

// Qt keeps the region a widget's opaque children cover, clipped to the
// widget, to leave it out when the widget repaints. The window system may
// resize the floating window in steps after the items have moved, and a
// later repaint would then paint over items in the part that grew. Changing
// an item's opaqueness renews the region.
void RenewOpaqueRegion(const std::vector<QWidget*>& items) {
    for (QWidget* item : items) {
        if (item->testAttribute(Qt::WA_OpaquePaintEvent)) {
            item->setAttribute(Qt::WA_OpaquePaintEvent, false);
            item->setAttribute(Qt::WA_OpaquePaintEvent, true);
        }
    }
}

// Tells FORM whether to draw its caption active.
void SendNcActivate(QWidget* form, bool active) {
    TNcActivateEvent event(active);
    QCoreApplication::sendEvent(form, &event);
}

} // namespace

namespace tb97 {

TFloatMetrics FloatingMetrics() {
    return TFloatMetrics{std::max(GetSystemMetrics(SM_CXFRAME), 0),
                         std::max(GetSystemMetrics(SM_CYSMCAPTION), 1)};
}

QSize FloatingFrameSize(const TFloatMetrics& m) {
    return QSize(2 * m.Frame, 2 * m.Frame + m.Caption);
}

QRect FloatingCaptionRect(QSize size, const TFloatMetrics& m) {
    return QRect(m.Frame, m.Frame, std::max(size.width() - 2 * m.Frame, 0), m.Caption - 1);
}

QRect FloatingCloseRect(QSize size, const TFloatMetrics& m) {
    const int side = m.Caption - 1;
    return QRect(size.width() - m.Frame - side, m.Frame, side, side);
}

int FloatingHitTest(QSize size, QPoint point, bool closeButton, const TFloatMetrics& m) {
    if (!QRect(QPoint(0, 0), size).contains(point)) {
        return HTNOWHERE;
    }
    if (FloatingCaptionRect(size, m).contains(point)) {
        if (closeButton && FloatingCloseRect(size, m).contains(point)) {
            return HTCLOSE;
        }
        return HTCLIENT;
    }
    const int edge = m.Frame + 1;
    if (point.y() < edge) {
        return HTTOP;
    }
    if (point.y() >= size.height() - edge) {
        return HTBOTTOM;
    }
    if (point.x() < edge) {
        return HTLEFT;
    }
    if (point.x() >= size.width() - edge) {
        return HTRIGHT;
    }
    return HTCLIENT;
}

QString CutCaption(const QString& text, int width,
                   const std::function<int(const QString&)>& measure) {
    if (text.isEmpty() || measure(text) <= width) {
        return text;
    }
    QString kept = text;
    QString shown = kept + QStringLiteral("...");
    while (measure(shown) > width && shown.size() >= kMinCutLength) {
        kept.chop(1);
        shown = kept + QStringLiteral("...");
    }
    return shown;
}

void PaintFloatingFrame(QPainter& painter, QSize size, const QString& caption, bool closeButton,
                        bool closePressed, const TFloatMetrics& m) {
    const QRect all(QPoint(0, 0), size);
    const QColor face = ToQColor(clBtnFace);
    const int f = m.Frame;
    painter.fillRect(0, 0, size.width(), f, face);
    painter.fillRect(0, size.height() - f, size.width(), f, face);
    painter.fillRect(0, 0, f, size.height(), face);
    painter.fillRect(size.width() - f, 0, f, size.height(), face);
    DrawRaisedEdge(painter, all);

    const QRect bar = FloatingCaptionRect(size, m);
    painter.fillRect(bar, ToQColor(clActiveCaption));
    painter.fillRect(QRect(bar.left(), bar.bottom() + 1, bar.width(), 1), face);

    const QRect close = FloatingCloseRect(size, m);
    QRect textRect = bar.adjusted(1, 0, -1, 0);
    if (closeButton) {
        textRect.setRight(close.left() - 1);
    }
    const QFont font = SmallCaptionFont();
    const QFontMetrics metrics(font);
    const QString shown = CutCaption(caption, textRect.width(), [&metrics](const QString& text) {
        return metrics.horizontalAdvance(text);
    });
    painter.save();
    painter.setClipRect(textRect);
    painter.setFont(font);
    painter.setPen(ToQColor(clCaptionText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter.restore();

    if (closeButton) {
        // The button sits in a one-pixel ring of the caption's colour.
        painter.fillRect(close, ToQColor(clActiveCaption));
        DrawCaptionButton(painter, close.adjusted(1, 1, -1, -1), TCaptionGlyph::Close, closePressed,
                          false);
    }
}

// ---- the pointer on the frame ----

TFloatingFrame::TFloatingFrame(TToolbar97* bar) : QObject(nullptr), bar_(bar) {
    // Moves without a button pressed set the sizing cursors.
    bar->setMouseTracking(true);
    bar->installEventFilter(this);
}

TFloatingFrame::~TFloatingFrame() = default;

bool TFloatingFrame::Floating() const {
    return bar_->DockedTo() == nullptr;
}

bool TFloatingFrame::Resizing() const {
    return resize_ && resize_->Running();
}

bool TFloatingFrame::MousePress(QMouseEvent* event) {
    if (!Floating() || event->button() != Qt::LeftButton) {
        return false;
    }
    const int hit = FloatingHitTest(bar_->size(), event->position().toPoint(), bar_->CloseButton(),
                                    FloatingMetrics());
    if (hit == HTCLOSE) {
        closeTracking_ = true;
        closeOver_ = true;
        bar_->update();
        event->accept();
        return true;
    }
    if (IsEdge(hit)) {
        // A session left over lets go of the mouse before the next takes it.
        resize_.reset();
        resize_ = std::make_unique<TFloatingResize>(bar_, hit, event->globalPosition().toPoint());
        event->accept();
        return true;
    }
    return false;
}

void TFloatingFrame::UpdateCursor(QPoint position) {
    const int hit = FloatingHitTest(bar_->size(), position, bar_->CloseButton(), FloatingMetrics());
    if (hit == HTTOP || hit == HTBOTTOM) {
        bar_->setCursor(Qt::SizeVerCursor);
    } else if (hit == HTLEFT || hit == HTRIGHT) {
        bar_->setCursor(Qt::SizeHorCursor);
    } else {
        bar_->unsetCursor();
    }
}

// Follows the pointer while the close button is held; a release over it
// closes the toolbar.
bool TFloatingFrame::TrackClose(QMouseEvent* event, bool release) {
    const bool over =
        FloatingCloseRect(bar_->size(), FloatingMetrics()).contains(event->position().toPoint());
    if (!release) {
        if (over != closeOver_) {
            closeOver_ = over;
            bar_->update();
        }
        return true;
    }
    if (event->button() != Qt::LeftButton) {
        return true;
    }
    closeTracking_ = false;
    closeOver_ = false;
    bar_->update();
    if (over) {
        bar_->setVisible(false);
        if (bar_->OnClose) {
            bar_->OnClose();
        }
    }
    return true;
}

// The window system gave the toolbar activation after all: the form keeps
// its active caption and gets the activation back.
void TFloatingFrame::Activated() {
    QWidget* form = bar_->Owner();
    SendNcActivate(form, true);
    QPointer<QWidget> guard(form);
    QPointer<TToolbar97> bar(bar_);
    // Once the form has heard of its own deactivation.
    QTimer::singleShot(0, form, [guard, bar] {
        if (!guard || !bar || bar->DockedTo() != nullptr) {
            return;
        }
        if (bar->isActiveWindow()) {
            SendNcActivate(guard, true);
            if (guard->isVisible() && !guard->isMinimized()) {
                guard->activateWindow();
            }
        }
    });
}

bool TFloatingFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched != bar_) {
        // The toolbar's items: a press raises the floating window, and the
        // pointer on an item has the item's cursor, not an edge's.
        if (Floating() && watched->parent() == bar_) {
            if (event->type() == QEvent::MouseButtonPress) {
                bar_->raise();
            } else if (event->type() == QEvent::Enter && !Resizing()) {
                bar_->unsetCursor();
            }
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::ChildAdded: {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) {
            child->installEventFilter(this);
        }
        return false;
    }
    case QEvent::MouseButtonPress:
        if (Floating()) {
            bar_->raise();
        }
        return false;
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (closeTracking_) {
            return TrackClose(mouse, false);
        }
        if (Floating() && mouse->buttons() == Qt::NoButton && !Resizing()) {
            UpdateCursor(mouse->position().toPoint());
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (closeTracking_) {
            return TrackClose(static_cast<QMouseEvent*>(event), true);
        }
        return false;
    case QEvent::ParentChange: // docked or floated: no edge under the pointer
    case QEvent::Leave:
        if (!Resizing()) {
            bar_->unsetCursor();
        }
        return false;
    case QEvent::Resize:
        if (Floating()) {
            RenewOpaqueRegion(bar_->Items());
        }
        return false;
    case QEvent::Hide:
        closeTracking_ = false;
        closeOver_ = false;
        if (resize_) {
            resize_->Cancel();
        }
        return false;
    case QEvent::WindowActivate:
        if (Floating()) {
            Activated();
        }
        return false;
    case QEvent::WindowDeactivate:
        if (Floating()) {
            SendNcActivate(bar_->Owner(), bar_->Owner()->isActiveWindow());
        }
        return false;
    default:
        return false;
    }
}

} // namespace tb97
