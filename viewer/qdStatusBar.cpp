#include "viewer/qdStatusBar.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QStringList>
#include <qdrawutil.h>

namespace {

constexpr int kPanelTop = 2; // a thin gap above the panels
constexpr int kPanelGap = 2; // between two panels
constexpr int kTextIndent = 2;

} // namespace

TqdStatusBar98::TqdStatusBar98(QWidget* parent) : QWidget(parent) {
    // Not repainted wholly on a size change: only newly exposed pixels and
    // what GeometryChanged invalidates are painted.
    setAttribute(Qt::WA_StaticContents);
    // The background is filled by paintEvent, only where it is to be erased.
    setAttribute(Qt::WA_OpaquePaintEvent);
    grip_ = new QSizeGrip(this);
    PlaceGrip();
}

void TqdStatusBar98::SetPanelCount(int count) {
    panels_.resize(static_cast<size_t>(std::max(count, 0)));
    Invalidate(rect(), true);
}

void TqdStatusBar98::SetPanelText(int index, const QString& text) {
    TStatusPanel& panel = panels_.at(static_cast<size_t>(index));
    if (panel.Text == text) {
        return;
    }
    panel.Text = text;
    if (!simplePanel_) {
        Invalidate(PanelRect(index), true);
        AnnounceText();
    }
}

void TqdStatusBar98::SetPanelWidth(int index, int width) {
    panels_.at(static_cast<size_t>(index)).Width = width;
    Invalidate(rect(), true);
}

void TqdStatusBar98::SetSimplePanel(bool on) {
    if (simplePanel_ != on) {
        simplePanel_ = on;
        Invalidate(rect(), true);
        AnnounceText();
    }
}

void TqdStatusBar98::SetSimpleText(const QString& text) {
    if (simpleText_ == text) {
        return;
    }
    simpleText_ = text;
    if (simplePanel_) {
        Invalidate(PanelRect(0), true);
        AnnounceText();
    }
}

QString TqdStatusBar98::ShownText() const {
    if (simplePanel_) {
        return simpleText_;
    }
    QStringList texts;
    for (const TStatusPanel& panel : panels_) {
        if (!panel.Text.isEmpty()) {
            texts << panel.Text;
        }
    }
    return texts.join(QLatin1Char(' '));
}

void TqdStatusBar98::AnnounceText() {
    if (QAccessible::isActive()) {
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
}

void TqdStatusBar98::SetSizeGrip(bool on) {
    sizeGrip_ = on;
    PlaceGrip();
    Invalidate(rect(), true);
}

QRect TqdStatusBar98::PanelRect(int index) const {
    const int height = std::max(this->height() - kPanelTop, 0);
    if (simplePanel_) {
        return {0, kPanelTop, width(), height};
    }
    int left = 0;
    for (int i = 0; i < index; ++i) {
        left += panels_.at(static_cast<size_t>(i)).Width + kPanelGap;
    }
    const bool last = index == PanelCount() - 1;
    const int right = last ? width() : left + panels_.at(static_cast<size_t>(index)).Width;
    return {left, kPanelTop, std::max(right - left, 0), height};
}

void TqdStatusBar98::PlaceGrip() {
    grip_->setVisible(sizeGrip_);
    const QSize size = grip_->sizeHint();
    grip_->setGeometry(width() - size.width(), height() - size.height(), size.width(),
                       size.height());
}

void TqdStatusBar98::Invalidate(const QRect& rect, bool erase) {
    if (rect.isEmpty()) {
        return;
    }
    pending_ += rect;
    if (erase) {
        noErase_ -= rect;
    } else {
        noErase_ += rect;
    }
    update(rect);
}

void TqdStatusBar98::resizeEvent(QResizeEvent* event) {
    // Pixels the bar gains are painted by the system with their background.
    const QRegion gained = QRegion(rect()) - QRegion(QRect(QPoint(0, 0), event->oldSize()));
    if (!gained.isEmpty() && event->oldSize().isValid()) {
        pending_ += gained;
        noErase_ -= gained;
    }
    // A bar grown wider than the strip would keep its old right edge, the
    // panel's frame line, in the middle of the panel.
    if (event->oldSize().isValid() && event->size().width() > event->oldSize().width()) {
        Invalidate(QRect(event->oldSize().width() - 1, 0, 1, height()), true);
    }
    PlaceGrip();
    GeometryChanged();
    QWidget::resizeEvent(event);
}

void TqdStatusBar98::moveEvent(QMoveEvent* event) {
    GeometryChanged();
    QWidget::moveEvent(event);
}

void TqdStatusBar98::GeometryChanged() {
    if (FullRepaint) {
        Invalidate(rect(), true);
        return;
    }
    const int grip = sizeGrip_ ? 15 : 1;
    QRect strip = rect();
    strip.setLeft(strip.right() + 1 - grip);
    if (!pending_.isEmpty()) {
        // From outer width - grip - 1 to the outer edge, the edge itself not included.
        const QRect widened(width() - grip - 1, 0, grip + 1, height());
        Invalidate(widened, EraseBackground);
    }
    Invalidate(strip, false);
}

void TqdStatusBar98::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Areas the window system asks for on its own (exposed, or the window's
    // buffer renewed after a resize) hold nothing worth keeping: they are
    // always erased, as newly exposed areas are.
    const bool systemRepaint = !(event->region() - pending_).isEmpty();
    const QRegion erase = systemRepaint ? event->region() : event->region() - noErase_;
    for (const QRect& r : erase) {
        painter.fillRect(r, palette().button());
    }

    painter.setClipRegion(event->region());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::ButtonText));
    const int count = simplePanel_ ? 1 : PanelCount();
    for (int i = 0; i < count; ++i) {
        const QRect panel = PanelRect(i);
        if (!event->region().intersects(panel)) {
            continue;
        }
        qDrawShadePanel(&painter, panel, palette(), true, 1);
        const QRect textRect = panel.adjusted(1 + kTextIndent, 1, -1, -1);
        painter.save();
        painter.setClipRect(textRect, Qt::IntersectClip);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         simplePanel_ ? simpleText_ : panels_[static_cast<size_t>(i)].Text);
        painter.restore();
    }
    pending_ -= event->region();
    noErase_ -= event->region();
}
