#pragma once
// The conversion of the command-line file: its work on the runner's worker
// and the one record of where it stands.
//
// The protocol between the worker and the GUI thread:
//
//   state        the worker, in Execute          the GUI thread
//   kIdle        Synchronize(Begin) ------------> busy cursor, view held
//   kConverting  engine writes the document
//                Synchronize(Converted) --------> Background colour
//   kLoading     reader builds the view's model
//                Synchronize(Finish) -----------> model shown, view and
//   kDone                                         cursor given back
//
// At any point the GUI thread may call Supersede (another file has taken the
// view): from kIdle, kConverting or kLoading it gives the view and the cursor
// back at once, asks the worker to finish, and moves to kSuperseded, where
// Begin answers "stop" and Converted and Finish change nothing.
//
// Why it is safe: the state, the view and the cursor are touched on the GUI
// thread only (Begin, Converted and Finish run there while the worker waits);
// the worker reads no state of its own, it learns of a supersede through the
// runner's terminate request, which is thread safe, and through Begin's
// answer. The view is held (its repainting suspended) exactly in kConverting
// and kLoading, and every way out of them gives it back, so the begin and end
// of the view's updates pair up whatever the order of events. A worker cut off
// from the window (it closed) unwinds without touching it.

#include <QColor>
#include <functional>
#include <memory>
#include <string>

class QWidget;
class TRichEdit;
struct TViewDocument;

class TStartupConversion {
public:
    enum class TState { kIdle, kConverting, kLoading, kDone, kSuperseded };

    // VIEW and WINDOW are touched on the GUI thread only. STOPWORKER asks
    // the runner's worker to finish.
    TStartupConversion(TRichEdit& view, QWidget& window, std::function<void()> stopWorker);

    // On the runner's worker: converts FILENAME and shows it. An error is
    // thrown on after the view and the cursor have been given back.
    void Execute(const std::string& fileName);

    // GUI thread: another file has taken the view.
    void Supersede();

    TState State() const { return state_; }
    // Converting or loading: the view is the conversion's.
    bool Busy() const { return state_ == TState::kConverting || state_ == TState::kLoading; }

    // Runs on the GUI thread when a busy conversion ends; SHOWN when its
    // document went into the view.
    std::function<void(bool shown)> OnSettled;

private:
    // The steps on the GUI thread.
    bool Begin();
    void Converted(const QColor& background);
    void Finish(std::shared_ptr<const TViewDocument> document);
    void GiveViewBack();
    void AssertOnGuiThread() const;

    TRichEdit& view_;
    QWidget& window_;
    std::function<void()> stopWorker_;
    TState state_ = TState::kIdle;
    int dpi_ = 96; // the view's, taken by Begin for the worker
};
