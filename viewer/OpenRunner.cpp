#include "viewer/OpenRunner.h"

#include "viewer/StatusIndicator.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QWidget>

namespace {

constexpr int kProgressEveryMs = 100;

// What a user does to give a command: keys, the mouse, the wheel, touch, a
// drop. Painting, timers and the window system's own requests are not among them.
bool IsCommandInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool IsEscape(const QEvent* event) {
    const QEvent::Type type = event->type();
    return (type == QEvent::KeyPress || type == QEvent::KeyRelease ||
            type == QEvent::ShortcutOverride) &&
           static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

} // namespace

TOpenRunner::TOpenRunner(QWidget& window, TGuiThread& gui, TStatusIndicator& indicator)
    : window_(window), indicator_(indicator), runner_(std::make_unique<TThreadComp>(gui)) {
    runner_->OnExecute = [this](TThreadComp&) { Execute(); };
    // Below the GUI thread, which must go on painting on a busy machine.
    runner_->SetThreadPriority(TThreadPriority::tpLower);
    runner_->OnTerminating = [this](TThreadComp&) {
        finished_ = true;
        if (loop_ != nullptr) {
            loop_->quit();
        }
    };
    progressTimer_.setInterval(kProgressEveryMs);
    connect(&progressTimer_, &QTimer::timeout, this, [this] { ShowProgress(); });
}

TOpenRunner::~TOpenRunner() = default;

std::shared_ptr<const TViewDocument> TOpenRunner::Load(const std::string& fileName,
                                                       TLoadRoute route, int dpi) {
    Q_ASSERT(!Busy());
    WaitForIdleRunner();
    job_ = {fileName, route, dpi};
    document_.reset();
    error_ = nullptr;
    progress_.Reset();
    finished_ = false;
    windowClosed_ = false;

    // A popup still open (a dialog's name completion) could not be closed
    // while input is held back.
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    QEventLoop loop;
    loop_ = &loop;
    QApplication::instance()->installEventFilter(this);
    sinceStart_.start();
    progressTimer_.start();
    const auto settle = qScopeGuard([this] {
        progressTimer_.stop();
        indicator_.HideProgress();
        QApplication::instance()->removeEventFilter(this);
        loop_ = nullptr;
    });
    runner_->Command(TThreadCommand::tcRun);
    if (!finished_ && !windowClosed_) {
        loop.exec();
    }
    if (!finished_) {
        runner_->Command(TThreadCommand::tcTerminate);
        return nullptr;
    }
    if (error_) {
        std::rethrow_exception(std::exchange(error_, nullptr));
    }
    return std::move(document_);
}

void TOpenRunner::Execute() {
    try {
        document_ = LoadViewDocument(job_.FileName, job_.Route, job_.Dpi,
                                     TThreadComp::TerminatedCheck(), &progress_);
    } catch (...) {
        error_ = std::current_exception();
    }
}

void TOpenRunner::ShowProgress() {
    if (sinceStart_.elapsed() >= kQuietMs) {
        indicator_.ShowProgress(progress_.PerMille());
    }
}

// A load given up when its window closed may still be winding down.
void TOpenRunner::WaitForIdleRunner() {
    while (runner_->State() != TRunnerState::rsIdle) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                    QEventLoop::WaitForMoreEvents);
    }
}

bool TOpenRunner::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Close) {
        windowClosed_ = true;
        if (loop_ != nullptr) {
            loop_->quit();
        }
        return false;
    }
    // A message box that came up meanwhile (an error of the start-up
    // conversion) is answered as usual; it keeps the window from input itself.
    if (!IsCommandInput(event->type()) || IsEscape(event) ||
        QApplication::activeModalWidget() != nullptr) {
        return false;
    }
    return true;
}
