#pragma once
// Dragging a toolbar by the mouse: from the press to the release the drag
// runs its own event loop with the mouse grabbed, shows where the toolbar
// would go as an outline, and on the release docks or floats it there.
// Nothing changes before the release; a second press, a lost grab or the
// application quitting end the drag without effect.

#include "widgets/TB97/DragRules.h"

#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class TDock97;
class TToolbar97;

namespace tb97 {

class TToolbarOutline;

// Whether a left press at POS (toolbar coordinates) takes the toolbar: not on
// a visible item other than a separator, and in a dock only one that allows
// dragging.
bool StartsDrag(const TToolbar97& bar, QPoint pos);

// A double click: a docked toolbar floats; a floating one goes to the front of
// row 0 of its default dock.
void ToggleDocking(TToolbar97& bar);

// The docks of BAR's form, in the order they were made.
std::vector<TDock97*> FormDocks(const TToolbar97& bar);
// What the drag knows of each dock in DOCKS: its place on the screen and the
// toolbar's size in it (its present size in its own dock, else as arranged
// for the dock's orientation).
std::vector<TDockCandidate> DockCandidates(const TToolbar97& bar,
                                           const std::vector<TDock97*>& docks);
// The toolbar's size as a floating window, frame and caption included.
QSize FloatingSize(const TToolbar97& bar);

// Dropping: onto DOCK (row by the dock's drop-row rule, position by the
// outline's leading edge), or as a floating window at OUTLINE.
void DropOnDock(TToolbar97& bar, TDock97& dock, const QRect& outline);
void DropFloating(TToolbar97& bar, const QRect& outline);

// One drag. Run() is the whole drag; tests and benchmarks may also steer it
// step by step with MoveTo and SetForbidDocking and end it with Drop.
class TToolbarDrag : public QObject {
public:
    // BAR is taken at GRABPOINT (its own coordinates), which is at GLOBALPOS
    // on the screen; CTRLHELD forbids docking from the start. The grab point
    // comes from the press itself: the window system may not yet have told
    // where a window it has just placed stands.
    TToolbarDrag(TToolbar97& bar, QPoint globalPos, QPoint grabPoint, bool ctrlHeld);
    ~TToolbarDrag() override;
    TToolbarDrag(const TToolbarDrag&) = delete;
    TToolbarDrag& operator=(const TToolbarDrag&) = delete;

    enum class TEnd { kRunning, kDropped, kCancelled };
    // Grabs the mouse, runs the loop until the drag ends, lets go of
    // everything taken for it, then drops. Returns how it ended.
    TEnd Run();

    // The pointer at CURSOR. Where the toolbar would go is decided anew at
    // each position the pointer takes; until it first leaves the press
    // position, the toolbar stays where it is, and a drop changes nothing.
    void MoveTo(QPoint cursor);
    // Ctrl pressed or let go: the target is decided again, once the pointer
    // has moved.
    void SetForbidDocking(bool forbid);
    // Where the toolbar would go now (dock index into the form's docks, −1
    // floating); before the pointer moves, where it is.
    const TDragTarget& Target() const { return target_; }
    TDock97* TargetDock() const;
    // The outline window (null before the first move).
    const TToolbarOutline* Outline() const { return outline_.get(); }
    // Docks or floats the toolbar where the outline is.
    void Drop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Finish(TEnd end);
    TDragTarget PlaceNow() const;
    void Decide();
    void ShowOutline();
    QRect WorkAreaAt(QPoint cursor) const;
    bool HandleMouse(QEvent* event);
    bool HandleKey(QEvent* event);

    QPointer<TToolbar97> bar_;
    TGrab grab_;
    bool forbid_;
    int frame_;
    std::vector<QPointer<TDock97>> docks_;
    std::vector<TDockCandidate> candidates_;
    QSize floatSize_;
    QPoint cursor_;
    bool moved_ = false; // the pointer has left the press position
    TDragTarget target_;
    std::unique_ptr<TToolbarOutline> outline_;
    QEventLoop loop_;
    TEnd end_ = TEnd::kRunning;
};

// Starts dragging BAR from a press at GRABPOINT (at GLOBALPOS on the screen)
// and returns when the drag ends.
void DragToolbar(TToolbar97& bar, QPoint globalPos, QPoint grabPoint,
                 Qt::KeyboardModifiers modifiers);

} // namespace tb97
