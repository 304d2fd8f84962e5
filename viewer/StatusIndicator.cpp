#include "viewer/StatusIndicator.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace {

constexpr int kProgressWidth = 120;
// Clear of the size grip and of the bar's sunken edges.
constexpr int kGripWidth = 16;
constexpr int kEdge = 2;

} // namespace

TStatusIndicator::TStatusIndicator(QWidget& bar) : QWidget(&bar), bar_(bar) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    note_ = new QLabel(this);
    note_->setAccessibleName("File note");
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1000);
    progress_->setFormat("%p%");
    progress_->setFixedWidth(kProgressWidth);
    progress_->setAccessibleName("Open progress");
    layout->addWidget(note_);
    layout->addWidget(progress_);
    note_->hide();
    progress_->hide();
    hide();
    bar_.installEventFilter(this);
}

void TStatusIndicator::ShowProgress(int perMille) {
    progress_->setValue(perMille);
    progress_->show();
    Place();
}

void TStatusIndicator::HideProgress() {
    progress_->hide();
    Place();
}

bool TStatusIndicator::ProgressShown() const {
    return !progress_->isHidden();
}

int TStatusIndicator::ProgressPerMille() const {
    return progress_->value();
}

void TStatusIndicator::SetNote(const QString& text) {
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
    Place();
}

QString TStatusIndicator::Note() const {
    return note_->isHidden() ? QString() : note_->text();
}

bool TStatusIndicator::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &bar_ && event->type() == QEvent::Resize) {
        Place();
    }
    return QWidget::eventFilter(watched, event);
}

void TStatusIndicator::Place() {
    const bool any = !note_->isHidden() || !progress_->isHidden();
    setVisible(any);
    if (!any) {
        return;
    }
    const int width = std::min(sizeHint().width(), bar_.width() / 2);
    const int height = std::max(bar_.height() - 2 * kEdge, 0);
    setGeometry(bar_.width() - kGripWidth - width, kEdge, width, height);
    raise();
}
