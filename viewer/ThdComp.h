#pragma once
// The background runner: a component that runs its OnExecute on a worker
// thread of its own, started, suspended, resumed, ended and killed through one
// command operation. No Qt: the GUI thread is reached through TGuiThread.
//
// Everything but the worker's own work runs on the GUI thread: Command, the
// property setters, the events other than OnExecute, and the destruction of
// the worker object. The work reaches the GUI only through Synchronize.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

enum class TThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

enum class TRunnerState : std::uint8_t {
    rsIdle = 0,
    rsSuspended = 1,
    rsRunning = 2,
    rsStopped = 3
};

enum class TThreadCommand { tcStop = 0, tcSuspend = 1, tcRun = 2, tcTerminate = 3 };

class TThreadComp;
using TNotifyEvent = std::function<void(TThreadComp& sender)>;

// The thread that runs the message loop, as the runner needs it.
class TGuiThread {
public:
    virtual ~TGuiThread() = default;
    // Runs TASK on the GUI thread at a later turn of its loop. An error TASK
    // throws goes to the application's error report.
    virtual void Post(std::function<void()> task) = 0;
};

// Raised inside the work when its worker has been cut off from its component
// (killed, or the component is going away): it unwinds the work, releasing
// whatever the work holds on its way out.
class EThreadAborted : public std::runtime_error {
public:
    EThreadAborted() : std::runtime_error("The worker thread was stopped") {}
};

class TThreadEx {
public:
    // Starts the worker (held at its start when the component's
    // StartSuspended is set). Sets the component's state.
    explicit TThreadEx(TThreadComp& comp);
    // Sets the component's state to rsIdle. A worker still running is asked
    // to finish, cut off from the GUI thread, and waited for; a killed one is
    // handed to the component, which waits for it when it goes.
    ~TThreadEx();
    TThreadEx(const TThreadEx&) = delete;
    TThreadEx& operator=(const TThreadEx&) = delete;

    void Terminate();
    bool Terminated() const;
    // A suspended worker stops at its next call of Synchronize or
    // CheckSuspended, never in the middle of its work: it holds no lock then.
    void Suspend();
    void Resume();
    // The forcible end: the worker is cut off at once. Its next Synchronize
    // (or a suspend it waits in) raises EThreadAborted; its exit code is
    // ReturnValue.
    void Kill();

    void SetPriority(TThreadPriority priority);
    TThreadPriority Priority() const;
    bool FreeOnTerminate() const { return freeOnTerminate_; }
    int ReturnValue() const;
    void SetReturnValue(int value);
    bool Finished() const;
    int ExitCode() const; // ReturnValue once finished or killed, else 0

    struct Shared;

private:
    friend class TThreadComp;
    static void Run(std::shared_ptr<Shared> self); // the worker's body

    TThreadComp* FComp;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    bool freeOnTerminate_;
};

class TThreadComp {
public:
    explicit TThreadComp(TGuiThread& gui, TNotifyEvent onCreate = {});
    // OnDestroy, then the worker is ended and waited for: it never outlives
    // the component's reach.
    ~TThreadComp();
    TThreadComp(const TThreadComp&) = delete;
    TThreadComp& operator=(const TThreadComp&) = delete;

    void Command(TThreadCommand command);

    bool StartSuspended = false;
    bool FreeOnTerminate = true;
    int ReturnValue = 0;
    TNotifyEvent OnExecute;
    TNotifyEvent OnTerminating;
    TNotifyEvent OnDestroy;

    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority priority);
    TRunnerState State() const { return FState; }
    TThreadEx* Thread() const { return FThread.get(); }

    // For the work, on its worker: run METHOD on the GUI thread and wait for
    // it; an error it throws is thrown here. Called on any other thread it
    // runs METHOD at once.
    static void Synchronize(const std::function<void()>& method);
    // For the work: has the worker been asked to finish?
    static bool Terminated();
    // For the work: the same question about this worker, askable from any
    // thread the work starts (a conversion split over two threads) for as
    // long as the work runs. Off a worker it always says false.
    static std::function<bool()> TerminatedCheck();
    // For the work: wait here while the worker is suspended.
    static void CheckSuspended();

private:
    friend class TThreadEx;
    void NotifyTerminated();
    void StopSequence(bool killStepOnly);
    void WorkerFinished(const std::shared_ptr<TThreadEx::Shared>& worker, std::exception_ptr error);
    void DestroyWorker();

    TGuiThread& gui_;
    std::unique_ptr<TThreadEx> FThread;
    TRunnerState FState = TRunnerState::rsIdle;
    TThreadPriority FThreadPriority = TThreadPriority::tpNormal;
    bool FNotifyPending = false;
    std::vector<std::thread> killedWorkers_; // joined when the component goes
};
