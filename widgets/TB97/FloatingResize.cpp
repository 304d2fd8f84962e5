#include "widgets/TB97/FloatingResize.h"

#include "platform/qt/NonClientFrame.h"
#include "widgets/TB97/FloatingFrame.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarOutline.h"
#include "widgets/TB97/TrackingHold.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kStickyZone = 12;
// The narrowest wrap width tried is the widest item plus this.
constexpr int kNarrowestExtra = 8;

} // namespace

namespace tb97 {

std::vector<QSize> FloatingCandidateSizes(const std::function<QSize(int)>& arranged,
                                          int widestItem) {
    std::vector<QSize> sizes;
    const QSize unwrapped = arranged(0);
    sizes.push_back(unwrapped);
    for (int limit = unwrapped.width() - 1; limit >= widestItem + kNarrowestExtra; --limit) {
        const QSize size = arranged(limit);
        if (size.width() != limit) {
            continue;
        }
        if (size.height() == sizes.back().height()) {
            sizes.back() = size;
        } else {
            sizes.push_back(size);
        }
    }
    const auto byWidth = [](const QSize& a, const QSize& b) {
        return a.width() != b.width() ? a.width() < b.width() : a.height() < b.height();
    };
    std::sort(sizes.begin(), sizes.end(), byWidth);
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

std::vector<QSize> FloatingCandidateSizes(const TToolbar97& bar) {
    return FloatingCandidateSizes(
        [&bar](int limit) { return bar.ArrangedSize(TBarOrientation::kFloating, true, limit); },
        bar.LargestItemSize().width());
}

int StickyZone(const std::vector<int>& extents, size_t index) {
    int zone = kStickyZone;
    if (index > 0) {
        zone = std::min(zone, extents[index] - extents[index - 1] - 1);
    }
    if (index + 1 < extents.size()) {
        zone = std::min(zone, extents[index + 1] - extents[index] - 1);
    }
    return std::max(zone, 0);
}

size_t PickCandidate(const std::vector<int>& extents, size_t current, int extent) {
    if (extents.empty()) {
        return 0;
    }
    if (current < extents.size() &&
        std::abs(extent - extents[current]) <= StickyZone(extents, current)) {
        return current;
    }
    size_t pick = 0;
    for (size_t i = 0; i < extents.size(); ++i) {
        if (extents[i] <= extent) {
            pick = i;
        }
    }
    return pick;
}

// ---- the resize session ----

TFloatingResize::TFloatingResize(TToolbar97* bar, int edge, QPoint press)
    : QObject(nullptr), bar_(bar), edge_(edge), press_(press), start_(bar->FloatingScreenRect()) {
    const TFloatMetrics m = FloatingMetrics();
    thickness_ = std::max(m.Frame, 1);
    frameExtra_ = FloatingFrameSize(m);
    for (const QSize& client : FloatingCandidateSizes(*bar)) {
        candidates_.push_back(client + frameExtra_);
    }
    const bool horizontal = Horizontal();
    std::stable_sort(candidates_.begin(), candidates_.end(),
                     [horizontal](const QSize& a, const QSize& b) {
                         return horizontal ? a.width() < b.width() : a.height() < b.height();
                     });
    for (const QSize& size : candidates_) {
        extents_.push_back(horizontal ? size.width() : size.height());
    }
    const auto found = std::find(candidates_.begin(), candidates_.end(), start_.size());
    current_ = found != candidates_.end()
                   ? static_cast<size_t>(found - candidates_.begin())
                   : PickCandidate(extents_, extents_.size(),
                                   horizontal ? start_.width() : start_.height());
    outline_ = start_;

    hold_ = std::make_unique<TTrackingHold>(
        bar_, this, QCursor(horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor));
    // Cancel after the end does nothing, so these watches stay until the
    // session goes.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { Cancel(); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive) {
                    Cancel();
                }
            });
    outlineWindow_ = std::make_unique<TToolbarOutline>();
    outlineWindow_->SetOutline(outline_, thickness_);
}

TFloatingResize::~TFloatingResize() {
    End();
}

bool TFloatingResize::Horizontal() const {
    return edge_ == HTLEFT || edge_ == HTRIGHT;
}

void TFloatingResize::Cancel() {
    End();
}

// Gives back everything the session holds; safe to call more than once.
void TFloatingResize::End() {
    if (!running_) {
        return;
    }
    running_ = false;
    hold_.reset();
    outlineWindow_.reset();
}

void TFloatingResize::Track(QPoint global) {
    const QPoint delta = global - press_;
    int extent = 0;
    switch (edge_) {
    case HTLEFT:
        extent = start_.width() - delta.x();
        break;
    case HTRIGHT:
        extent = start_.width() + delta.x();
        break;
    case HTTOP:
        extent = start_.height() - delta.y();
        break;
    default:
        extent = start_.height() + delta.y();
        break;
    }
    current_ = PickCandidate(extents_, current_, extent);
    const QSize size = candidates_[current_];
    // Anchored at the edge opposite the one dragged.
    QRect outline(start_.topLeft(), size);
    if (edge_ == HTLEFT) {
        outline.moveRight(start_.right());
    } else if (edge_ == HTTOP) {
        outline.moveBottom(start_.bottom());
    }
    if (outline != outline_) {
        outline_ = outline;
        if (outlineWindow_) {
            outlineWindow_->SetOutline(outline_, thickness_);
        }
    }
}

void TFloatingResize::Apply() {
    const QRect outline = outline_;
    End();
    bar_->SetFloatingWidth(outline.width() - frameExtra_.width());
    bar_->SetFloatingRect(outline);
    bar_->KeepOnScreen();
}

bool TFloatingResize::eventFilter(QObject* watched, QEvent* event) {
    if (!running_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        // The widget's copy of the event; the window's copy comes first.
        if (!watched->isWidgetType()) {
            return false;
        }
        if (!hold_->MouseHeld()) {
            Cancel();
            return false;
        }
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool left = mouse->button() == Qt::LeftButton;
        if (event->type() == QEvent::MouseMove) {
            Track(mouse->globalPosition().toPoint());
        } else if (event->type() == QEvent::MouseButtonRelease && left) {
            Track(mouse->globalPosition().toPoint());
            Apply();
        } else if (left) {
            Cancel();
        }
        // Other buttons are swallowed.
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        return true;
    case QEvent::Hide:
        if (watched == bar_) {
            Cancel();
        }
        return false;
    default:
        return false;
    }
}

} // namespace tb97
