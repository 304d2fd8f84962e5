#include "viewer/ThdComp.h"

#include <condition_variable>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

// What the component and its worker share. The worker holds it for as long as
// it runs, so a worker cut off from its component never reaches freed memory.
struct TThreadEx::Shared : std::enable_shared_from_this<TThreadEx::Shared> {
    mutable std::mutex lock;
    std::condition_variable changed;

    TGuiThread* gui = nullptr;
    TNotifyEvent execute;        // taken from the component when the work is let go
    TThreadComp* comp = nullptr; // the worker passes it to the work; everything else is GUI side

    bool suspended = true; // every worker waits at its start until it is fully set up
    bool started = false;  // past its start: the work it runs is fixed
    bool terminated = false;
    bool detached = false; // cut off: killed, or its TThreadEx has gone
    bool finished = false;
    TThreadPriority priority = TThreadPriority::tpNormal;
    int returnValue = 0;
    pid_t tid = 0;
    pthread_t handle{};
};

namespace {

using Shared = TThreadEx::Shared;

// The worker this thread is, if it is one: lets the work reach its own worker
// and never a newer one that its component has started since.
thread_local Shared* CurrentWorker = nullptr;

int NiceValueOf(TThreadPriority priority) {
    switch (priority) {
    case TThreadPriority::tpIdle:
        return 19;
    case TThreadPriority::tpLowest:
        return 10;
    case TThreadPriority::tpLower:
        return 5;
    case TThreadPriority::tpNormal:
        return 0;
    case TThreadPriority::tpHigher:
        return -5;
    case TThreadPriority::tpHighest:
        return -10;
    case TThreadPriority::tpTimeCritical:
        return -20;
    }
    return 0;
}

// Called with the lock held while the worker is alive. Raising a priority
// needs privileges the user may not have; the system then keeps the old one,
// as a thread library would.
void ApplyPriority(const Shared& worker) {
    sched_param param{};
    const int policy = worker.priority == TThreadPriority::tpIdle ? SCHED_IDLE : SCHED_OTHER;
    (void)pthread_setschedparam(worker.handle, policy, &param);
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(worker.tid), NiceValueOf(worker.priority));
}

// Throws when the worker has been cut off, so the work unwinds.
void WaitWhileSuspended(Shared& worker) {
    std::unique_lock held(worker.lock);
    worker.changed.wait(held, [&] { return !worker.suspended || worker.detached; });
    if (worker.detached) {
        throw EThreadAborted();
    }
}

} // namespace

void TThreadEx::Run(std::shared_ptr<Shared> self) {
    CurrentWorker = self.get();
    bool cutOff;
    {
        std::unique_lock held(self->lock);
        self->tid = gettid();
        self->handle = pthread_self();
        ApplyPriority(*self);
        self->changed.wait(held, [&] { return !self->suspended || self->detached; });
        cutOff = self->detached;
        self->started = true;
    }
    std::exception_ptr error;
    if (!cutOff && self->execute) {
        try {
            self->execute(*self->comp);
        } catch (const EThreadAborted&) {
            // cut off while working: nobody is left to tell
        } catch (...) {
            error = std::current_exception();
        }
    }
    {
        std::lock_guard held(self->lock);
        self->finished = true;
        cutOff = self->detached;
    }
    self->changed.notify_all();
    CurrentWorker = nullptr;
    if (!cutOff) {
        self->gui->Post([self, error] {
            {
                std::lock_guard held(self->lock);
                if (self->detached) {
                    return;
                }
            }
            self->comp->WorkerFinished(self, error);
        });
    }
}

// ---- TThreadEx ----

TThreadEx::TThreadEx(TThreadComp& comp)
    : FComp(&comp), shared_(std::make_shared<Shared>()), freeOnTerminate_(comp.FreeOnTerminate) {
    shared_->gui = &comp.gui_;
    shared_->comp = &comp;
    shared_->returnValue = comp.ReturnValue;
    shared_->priority = comp.FThreadPriority;
    thread_ = std::thread(&TThreadEx::Run, shared_);
    comp.FState = comp.StartSuspended ? TRunnerState::rsSuspended : TRunnerState::rsRunning;
    if (!comp.StartSuspended) {
        Resume();
    }
}

TThreadEx::~TThreadEx() {
    FComp->FState = TRunnerState::rsIdle;
    bool wasKilled;
    {
        std::lock_guard held(shared_->lock);
        wasKilled = shared_->detached && !shared_->finished;
        shared_->terminated = true;
        shared_->detached = true;
    }
    shared_->changed.notify_all();
    if (!thread_.joinable()) {
        return;
    }
    if (wasKilled) {
        // A killed worker may still be inside its work; waiting here would
        // block the GUI thread, so its component waits for it when it goes.
        FComp->killedWorkers_.push_back(std::move(thread_));
    } else {
        thread_.join();
    }
}

void TThreadEx::Terminate() {
    std::lock_guard held(shared_->lock);
    shared_->terminated = true;
}

bool TThreadEx::Terminated() const {
    std::lock_guard held(shared_->lock);
    return shared_->terminated;
}

void TThreadEx::Suspend() {
    std::lock_guard held(shared_->lock);
    shared_->suspended = true;
}

void TThreadEx::Resume() {
    {
        std::lock_guard held(shared_->lock);
        if (!shared_->started) {
            // The work is what OnExecute holds when the worker is let go, so a
            // worker created suspended runs the handler assigned since.
            shared_->execute = FComp->OnExecute;
        }
        shared_->suspended = false;
    }
    shared_->changed.notify_all();
}

void TThreadEx::Kill() {
    {
        std::lock_guard held(shared_->lock);
        shared_->terminated = true;
        shared_->detached = true;
    }
    shared_->changed.notify_all();
}

void TThreadEx::SetPriority(TThreadPriority priority) {
    std::lock_guard held(shared_->lock);
    shared_->priority = priority;
    if (shared_->tid != 0 && !shared_->finished) {
        ApplyPriority(*shared_);
    }
}

TThreadPriority TThreadEx::Priority() const {
    std::lock_guard held(shared_->lock);
    return shared_->priority;
}

int TThreadEx::ReturnValue() const {
    std::lock_guard held(shared_->lock);
    return shared_->returnValue;
}

void TThreadEx::SetReturnValue(int value) {
    std::lock_guard held(shared_->lock);
    shared_->returnValue = value;
}

bool TThreadEx::Finished() const {
    std::lock_guard held(shared_->lock);
    return shared_->finished;
}

int TThreadEx::ExitCode() const {
    std::lock_guard held(shared_->lock);
    return shared_->finished || shared_->detached ? shared_->returnValue : 0;
}

// ---- TThreadComp ----

TThreadComp::TThreadComp(TGuiThread& gui, TNotifyEvent onCreate) : gui_(gui) {
    if (onCreate) {
        onCreate(*this);
    }
}

TThreadComp::~TThreadComp() {
    if (OnDestroy) {
        OnDestroy(*this);
    }
    FThread.reset();
    for (std::thread& worker : killedWorkers_) {
        worker.join();
    }
}

void TThreadComp::SetThreadPriority(TThreadPriority priority) {
    FThreadPriority = priority;
    if (FState != TRunnerState::rsIdle && FThread) {
        FThread->SetPriority(priority);
    }
}

void TThreadComp::Command(TThreadCommand command) {
    using enum TRunnerState;
    using enum TThreadCommand;
    switch (FState) {
    case rsIdle:
        if (command == tcRun) {
            // Set first, so a worker that ends at once still gets its notification.
            FNotifyPending = true;
            FThread = std::make_unique<TThreadEx>(*this);
        }
        break;
    case rsSuspended:
        if (command == tcRun) {
            FThread->Resume();
            FState = rsRunning;
        } else if (command == tcStop) {
            StopSequence(false);
        }
        break;
    case rsRunning:
        if (command == tcSuspend) {
            FThread->Suspend();
            FState = rsSuspended;
        } else if (command == tcTerminate) {
            FThread->Terminate();
            FState = rsStopped;
        } else if (command == tcStop) {
            StopSequence(false);
        }
        break;
    case rsStopped:
        if (command == tcStop) {
            StopSequence(true);
        }
        break;
    }
}

void TThreadComp::StopSequence(bool killStepOnly) {
    if (!killStepOnly) {
        FThread->Terminate();
        NotifyTerminated();
        if (!FThread) {
            return; // the notification's handler has already ended the worker
        }
        FState = TRunnerState::rsStopped;
    }
    FThread->Kill();
    if (FreeOnTerminate) {
        FThread.reset();
    }
}

void TThreadComp::NotifyTerminated() {
    if (FNotifyPending) {
        FNotifyPending = false;
        if (OnTerminating) {
            OnTerminating(*this);
        }
    }
}

void TThreadComp::WorkerFinished(const std::shared_ptr<TThreadEx::Shared>& worker,
                                 std::exception_ptr error) {
    auto isCurrent = [&] { return FThread && FThread->shared_ == worker; };
    if (!isCurrent()) {
        return;
    }
    std::exception_ptr handlerError;
    try {
        NotifyTerminated();
    } catch (...) {
        handlerError = std::current_exception();
    }
    if (isCurrent() && FThread->freeOnTerminate_) {
        FThread.reset();
    }
    if (error) {
        std::rethrow_exception(error);
    }
    if (handlerError) {
        std::rethrow_exception(handlerError);
    }
}

void TThreadComp::Synchronize(const std::function<void()>& method) {
    Shared* self = CurrentWorker;
    if (self == nullptr) {
        method();
        return;
    }
    WaitWhileSuspended(*self);

    struct Call {
        bool running = false;
        bool done = false;
        std::exception_ptr error;
    };
    auto call = std::make_shared<Call>();
    // METHOD lives on this worker's stack: the GUI side touches it only while
    // this worker is still waiting, and this worker waits while it runs.
    self->gui->Post([worker = self->shared_from_this(), call, &method] {
        {
            std::lock_guard held(worker->lock);
            if (worker->detached) {
                return;
            }
            call->running = true;
        }
        try {
            method();
        } catch (...) {
            call->error = std::current_exception();
        }
        {
            std::lock_guard held(worker->lock);
            call->running = false;
            call->done = true;
        }
        worker->changed.notify_all();
    });

    std::unique_lock held(self->lock);
    self->changed.wait(held, [&] { return call->done || (self->detached && !call->running); });
    if (!call->done) {
        throw EThreadAborted();
    }
    held.unlock();
    if (call->error) {
        std::rethrow_exception(call->error);
    }
}

bool TThreadComp::Terminated() {
    Shared* self = CurrentWorker;
    if (self == nullptr) {
        return false;
    }
    std::lock_guard held(self->lock);
    return self->terminated;
}

std::function<bool()> TThreadComp::TerminatedCheck() {
    Shared* self = CurrentWorker;
    if (self == nullptr) {
        return [] { return false; };
    }
    return [worker = self->shared_from_this()] {
        std::lock_guard held(worker->lock);
        return worker->terminated;
    };
}

void TThreadComp::CheckSuspended() {
    if (Shared* self = CurrentWorker) {
        WaitWhileSuspended(*self);
    }
}
