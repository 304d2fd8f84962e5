#pragma once
// Resizing a floating toolbar: the sizes its items can take, the sticky zone
// that holds the current one, and the tracking session that follows the
// pointer with an outline until the release.

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

class TToolbar97;

namespace tb97 {

class TToolbarOutline;
class TTrackingHold;

// Client sizes a floating toolbar can take, sorted by width: the unwrapped
// size, then every size arranged with a wrap width from the unwrapped width
// − 1 down to WIDESTITEM + 8 whose width equals that limit (a size as high
// as the one collected just before replaces it). ARRANGED gives the client
// size for a wrap width, 0 meaning none.
std::vector<QSize> FloatingCandidateSizes(const std::function<QSize(int)>& arranged,
                                          int widestItem);
std::vector<QSize> FloatingCandidateSizes(const TToolbar97& bar);

// How far the pointer may stray from EXTENTS[INDEX] (ascending) and keep it:
// 12 pixels, but one less than the distance to either neighbour, not below 0.
int StickyZone(const std::vector<int>& extents, size_t index);

// The candidate for a pointer EXTENT pixels from the anchored edge: CURRENT
// while the pointer is inside its sticky zone, else the largest candidate the
// pointer has reached (the smallest when it has reached none).
size_t PickCandidate(const std::vector<int>& extents, size_t current, int extent);

// One resize from press to release. While it runs it holds the mouse and
// swallows keys and the other buttons, and no hints show; a left release
// applies the size shown, a left press, the loss of the mouse, the
// application going inactive or quitting end it without effect. All it holds
// is given back when it ends.
class TFloatingResize : public QObject {
public:
    // EDGE: HTLEFT, HTTOP, HTRIGHT or HTBOTTOM; PRESS in global coordinates.
    TFloatingResize(TToolbar97* bar, int edge, QPoint press);
    ~TFloatingResize() override;

    bool Running() const { return running_; }
    // Ends without effect.
    void Cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Horizontal() const;
    void Track(QPoint global);
    void Apply();
    void End();

    TToolbar97* bar_;
    int edge_;
    QPoint press_;
    QRect start_;
    QSize frameExtra_;
    // Window sizes, ascending along the dragged axis; never empty, as the
    // unwrapped size is always one.
    std::vector<QSize> candidates_;
    std::vector<int> extents_;
    size_t current_ = 0;
    QRect outline_;
    int thickness_;
    std::unique_ptr<TTrackingHold> hold_;
    std::unique_ptr<TToolbarOutline> outlineWindow_;
    bool running_ = true;
};

} // namespace tb97
