#pragma once
// The load of a file the user opens, on a worker of its own, while the window
// waits for it as it waits for a modal dialog: it goes on painting, takes no
// input other than Escape (which still ends the program), and shows how far
// the load has come once it takes longer than half a second.

#include "viewer/DocumentLoad.h"
#include "viewer/ThdComp.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <exception>
#include <memory>
#include <string>

class QEventLoop;
class QWidget;
class TStatusIndicator;

class TOpenRunner : public QObject {
    Q_OBJECT
public:
    // WINDOW is the one that waits; INDICATOR shows the progress.
    TOpenRunner(QWidget& window, TGuiThread& gui, TStatusIndicator& indicator);
    ~TOpenRunner() override;

    // FILENAME's document by ROUTE for a view at DPI, or none when the window
    // closed (or the program was asked to end) before it was done. Throws
    // what the load throws.
    std::shared_ptr<const TViewDocument> Load(const std::string& fileName, TLoadRoute route,
                                              int dpi);
    // A load is under way.
    bool Busy() const { return loop_ != nullptr; }

    // What an open that takes longer waits before it shows its progress.
    static constexpr int kQuietMs = 500;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TJob {
        std::string FileName;
        TLoadRoute Route = TLoadRoute::kAsIs;
        int Dpi = 96;
    };
    void Execute(); // on the worker
    void ShowProgress();
    void WaitForIdleRunner();

    QWidget& window_;
    TStatusIndicator& indicator_;
    QTimer progressTimer_;
    QElapsedTimer sinceStart_;
    QEventLoop* loop_ = nullptr;
    bool finished_ = false;
    bool windowClosed_ = false;
    // Set on the GUI thread before the worker starts, read by the worker.
    TJob job_;
    TLoadProgress progress_;
    // Written by the worker; read on the GUI thread once the runner has told
    // it that the work ended.
    std::shared_ptr<const TViewDocument> document_;
    std::exception_ptr error_;
    // Last: goes first, so a worker still winding down is waited for while
    // what it writes to is whole.
    std::unique_ptr<TThreadComp> runner_;
};
