#include "viewer/StartupConversion.h"

#include "engine/ColorScheme.h"
#include "platform/qt/QtColor.h"
#include "viewer/DocumentLoad.h"
#include "viewer/RichEdit.h"
#include "viewer/ThdComp.h"

#include <QThread>
#include <QWidget>

TStartupConversion::TStartupConversion(TRichEdit& view, QWidget& window,
                                       std::function<void()> stopWorker)
    : view_(view), window_(window), stopWorker_(std::move(stopWorker)) {}

void TStartupConversion::Execute(const std::string& fileName) {
    bool go = false;
    TThreadComp::Synchronize([&] { go = Begin(); });
    if (!go) {
        return; // an open came first: the view is its file's
    }
    std::shared_ptr<const TViewDocument> document;
    try {
        RefuseSpecialFile(fileName);
        const TLoadRoute route = RouteOf(fileName, TFileOrigin::kCommandLine);
        // Asked by the conversion, also from its second thread.
        const TStopRequest stop = TThreadComp::TerminatedCheck();
        document = LoadViewDocument(fileName, route, dpi_, stop, nullptr, [&] {
            const QColor background = ToQColor(ColorSlots[ciBackground].Color.load());
            TThreadComp::Synchronize([&] { Converted(background); });
        });
    } catch (const EThreadAborted&) {
        throw; // cut off: the window is no longer there to give anything back to
    } catch (const EConversionCancelled&) {
        // superseded: Finish below changes nothing, and the stop is quiet
    } catch (...) {
        TThreadComp::Synchronize([&] { Finish(nullptr); });
        throw; // reported on the GUI thread by the runner
    }
    TThreadComp::Synchronize([&] { Finish(std::move(document)); });
}

bool TStartupConversion::Begin() {
    AssertOnGuiThread();
    Q_ASSERT(state_ == TState::kIdle || state_ == TState::kSuperseded);
    if (state_ != TState::kIdle) {
        return false;
    }
    window_.setCursor(Qt::BusyCursor);
    view_.BeginUpdate();
    dpi_ = view_.logicalDpiX();
    state_ = TState::kConverting;
    return true;
}

void TStartupConversion::Converted(const QColor& background) {
    AssertOnGuiThread();
    Q_ASSERT(state_ == TState::kConverting || state_ == TState::kSuperseded);
    if (state_ != TState::kConverting) {
        return;
    }
    view_.SetBackgroundColor(background);
    state_ = TState::kLoading;
}

void TStartupConversion::Finish(std::shared_ptr<const TViewDocument> document) {
    AssertOnGuiThread();
    // The join point: the worker comes here once, from a state it began.
    Q_ASSERT(state_ == TState::kConverting || state_ == TState::kLoading ||
             state_ == TState::kSuperseded);
    // A document exists only after the engine's part, so after Converted.
    Q_ASSERT(!document || state_ != TState::kConverting);
    if (!Busy()) {
        return; // superseded: the view went back then
    }
    const bool shown = document != nullptr;
    if (shown) {
        view_.AdoptDocument(std::move(document));
    }
    GiveViewBack();
    state_ = TState::kDone;
    if (OnSettled) {
        OnSettled(shown);
    }
}

void TStartupConversion::Supersede() {
    AssertOnGuiThread();
    if (state_ == TState::kDone || state_ == TState::kSuperseded) {
        return;
    }
    const bool wasBusy = Busy();
    if (wasBusy) {
        GiveViewBack();
    }
    state_ = TState::kSuperseded;
    stopWorker_();
    if (wasBusy && OnSettled) {
        OnSettled(false);
    }
}

void TStartupConversion::GiveViewBack() {
    // Held since Begin, by this conversion alone.
    Q_ASSERT(Busy() && !view_.viewport()->updatesEnabled());
    view_.EndUpdate();
    window_.unsetCursor();
}

void TStartupConversion::AssertOnGuiThread() const {
    Q_ASSERT(QThread::currentThread() == window_.thread());
}
