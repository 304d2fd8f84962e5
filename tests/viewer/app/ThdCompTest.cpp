#include "viewer/ThdComp.h"

#include "tests/viewer/app/TestGuiLoop.h"

#include <atomic>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using enum TRunnerState;
using enum TThreadCommand;

// Blocks the work until the test opens it.
class TGate {
public:
    void Open() {
        {
            std::lock_guard held(lock_);
            open_ = true;
        }
        changed_.notify_all();
    }
    void Wait() {
        std::unique_lock held(lock_);
        changed_.wait(held, [&] { return open_; });
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool open_ = false;
};

struct RunnerTest : ::testing::Test {
    TTestGuiLoop gui;
    std::thread::id guiThread = std::this_thread::get_id();
    int terminatingCalls = 0;
    std::thread::id terminatingThread;

    void CountTerminating(TThreadComp& runner) {
        runner.OnTerminating = [this](TThreadComp&) {
            ++terminatingCalls;
            terminatingThread = std::this_thread::get_id();
        };
    }
    bool UntilIdle(TThreadComp& runner) {
        return gui.RunUntil([&] { return runner.State() == rsIdle; });
    }
};

TEST_F(RunnerTest, DefaultsAndLifeEvents) {
    TThreadComp* created = nullptr;
    int destroyed = 0;
    {
        TThreadComp runner(gui, [&](TThreadComp& sender) { created = &sender; });
        EXPECT_EQ(created, &runner);
        EXPECT_FALSE(runner.StartSuspended);
        EXPECT_TRUE(runner.FreeOnTerminate);
        EXPECT_EQ(runner.ThreadPriority(), TThreadPriority::tpNormal);
        EXPECT_EQ(runner.ReturnValue, 0);
        EXPECT_EQ(runner.State(), rsIdle);
        EXPECT_EQ(runner.Thread(), nullptr);
        runner.OnDestroy = [&](TThreadComp& sender) {
            EXPECT_EQ(&sender, &runner);
            ++destroyed;
        };
    }
    EXPECT_EQ(destroyed, 1);
}

TEST_F(RunnerTest, RunExecutesOnWorkerAndNotifiesOnceOnGuiThread) {
    TThreadComp runner(gui);
    std::atomic<TThreadComp*> sender = nullptr;
    std::thread::id workThread;
    runner.OnExecute = [&](TThreadComp& s) {
        workThread = std::this_thread::get_id();
        sender = &s;
    };
    CountTerminating(runner);

    runner.Command(tcRun);
    EXPECT_NE(runner.State(), rsIdle);
    ASSERT_TRUE(UntilIdle(runner));
    gui.RunPending();

    EXPECT_EQ(sender, &runner);
    EXPECT_NE(workThread, guiThread);
    EXPECT_EQ(terminatingCalls, 1);
    EXPECT_EQ(terminatingThread, guiThread);
    EXPECT_EQ(runner.Thread(), nullptr);

    // idle again: a second run starts a new worker
    runner.Command(tcRun);
    ASSERT_TRUE(UntilIdle(runner));
    EXPECT_EQ(terminatingCalls, 2);
}

TEST_F(RunnerTest, WorkerWithoutWorkStillNotifiesExactlyOnce) {
    TThreadComp runner(gui);
    CountTerminating(runner);
    runner.Command(tcRun);
    std::this_thread::sleep_for(20ms); // the worker has long ended before the loop runs
    ASSERT_TRUE(UntilIdle(runner));
    gui.RunPending();
    EXPECT_EQ(terminatingCalls, 1);
    EXPECT_EQ(terminatingThread, guiThread);
}

TEST_F(RunnerTest, CommandsThatDoNotFitTheStateAreIgnored) {
    TGate gate;
    TThreadComp runner(gui);
    for (TThreadCommand command : {tcStop, tcSuspend, tcTerminate}) {
        runner.Command(command);
        EXPECT_EQ(runner.State(), rsIdle);
        EXPECT_EQ(runner.Thread(), nullptr);
    }

    std::atomic<int> runs = 0;
    runner.OnExecute = [&](TThreadComp&) {
        ++runs;
        gate.Wait();
    };
    runner.Command(tcRun);
    runner.Command(tcRun); // already running: nothing
    EXPECT_EQ(runner.State(), rsRunning);
    gate.Open();
    ASSERT_TRUE(UntilIdle(runner));
    EXPECT_EQ(runs, 1);
}

TEST_F(RunnerTest, StartSuspendedHoldsTheWorkUntilRun) {
    TThreadComp runner(gui);
    runner.StartSuspended = true;
    std::atomic<bool> ran = false;
    runner.OnExecute = [&](TThreadComp&) { ran = true; };
    runner.Command(tcRun);
    EXPECT_EQ(runner.State(), rsSuspended);
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(ran);

    runner.Command(tcRun);
    EXPECT_EQ(runner.State(), rsRunning);
    ASSERT_TRUE(UntilIdle(runner));
    EXPECT_TRUE(ran);
}

TEST_F(RunnerTest, TheWorkIsWhatOnExecuteHoldsWhenTheWorkerIsLetGo) {
    TThreadComp runner(gui);
    runner.StartSuspended = true;
    std::atomic<int> first = 0;
    std::atomic<int> second = 0;
    runner.Command(tcRun); // created with no work assigned yet
    EXPECT_EQ(runner.State(), rsSuspended);
    runner.OnExecute = [&](TThreadComp&) { ++first; };
    runner.OnExecute = [&](TThreadComp&) { ++second; }; // the last assignment counts
    runner.Command(tcRun);
    ASSERT_TRUE(UntilIdle(runner));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);

    // once the work has begun, a new assignment waits for the next worker
    TGate started;
    TGate release;
    runner.StartSuspended = false;
    runner.OnExecute = [&](TThreadComp&) {
        started.Open();
        release.Wait();
        ++first;
    };
    runner.Command(tcRun);
    started.Wait();
    runner.Command(tcSuspend);
    runner.OnExecute = [&](TThreadComp&) { ++second; };
    runner.Command(tcRun);
    release.Open();
    ASSERT_TRUE(UntilIdle(runner));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

TEST_F(RunnerTest, SuspendTakesHoldAtTheNextSafePoint) {
    TGate reachedLoop;
    TThreadComp runner(gui);
    std::atomic<int> steps = 0;
    std::atomic<bool> stop = false;
    runner.OnExecute = [&](TThreadComp&) {
        reachedLoop.Open();
        while (!stop) {
            TThreadComp::CheckSuspended();
            ++steps;
            std::this_thread::sleep_for(1ms);
        }
    };
    runner.Command(tcRun);
    reachedLoop.Wait();
    runner.Command(tcSuspend);
    EXPECT_EQ(runner.State(), rsSuspended);
    std::this_thread::sleep_for(20ms);
    const int held = steps;
    std::this_thread::sleep_for(30ms);
    EXPECT_LE(steps - held, 1); // at most the step that was under way

    runner.Command(tcSuspend); // not running: nothing
    EXPECT_EQ(runner.State(), rsSuspended);
    runner.Command(tcRun);
    EXPECT_EQ(runner.State(), rsRunning);
    ASSERT_TRUE(gui.RunUntil([&] { return steps > held + 3; }));
    stop = true;
    ASSERT_TRUE(UntilIdle(runner));
}

TEST_F(RunnerTest, TerminateIsARequestTheWorkDecidesOn) {
    TGate started;
    TGate release;
    TThreadComp runner(gui);
    runner.OnExecute = [&](TThreadComp&) {
        started.Open();
        while (!TThreadComp::Terminated()) {
            std::this_thread::sleep_for(1ms);
        }
    };
    CountTerminating(runner);
    runner.Command(tcRun);
    started.Wait();
    runner.Command(tcTerminate);
    EXPECT_EQ(runner.State(), rsStopped);
    ASSERT_TRUE(UntilIdle(runner));
    EXPECT_EQ(terminatingCalls, 1);

    // A work that never polls runs to its end; the state says stopped till then.
    std::atomic<bool> finished = false;
    runner.OnExecute = [&](TThreadComp&) {
        release.Wait();
        finished = true;
    };
    runner.Command(tcRun);
    runner.Command(tcTerminate);
    EXPECT_EQ(runner.State(), rsStopped);
    gui.RunPending();
    EXPECT_EQ(runner.State(), rsStopped);
    release.Open();
    ASSERT_TRUE(UntilIdle(runner));
    EXPECT_TRUE(finished);
    EXPECT_EQ(terminatingCalls, 2);
}

// A conversion split over threads asks from a thread of its own, where the
// worker's Terminated cannot see its worker.
TEST_F(RunnerTest, TheTerminateRequestCanBeAskedFromAnyThreadOfTheWork) {
    EXPECT_FALSE(TThreadComp::TerminatedCheck()()); // not on a worker
    TGate started;
    TThreadComp runner(gui);
    std::atomic<bool> helperSaw = false;
    std::atomic<bool> workerSawBefore = true;
    runner.OnExecute = [&](TThreadComp&) {
        const std::function<bool()> check = TThreadComp::TerminatedCheck();
        workerSawBefore = check();
        std::thread helper([&] {
            started.Open();
            while (!check()) {
                std::this_thread::sleep_for(1ms);
            }
            helperSaw = true;
        });
        helper.join();
    };
    runner.Command(tcRun);
    started.Wait();
    runner.Command(tcTerminate);
    ASSERT_TRUE(UntilIdle(runner));
    EXPECT_FALSE(workerSawBefore);
    EXPECT_TRUE(helperSaw);
}

TEST_F(RunnerTest, StopNotifiesAtOnceAndCutsTheWorkerOff) {
    TGate inWork;
    TThreadComp runner(gui);
    std::atomic<bool> unwound = false;
    std::atomic<bool> aborted = false;
    std::atomic<bool> syncRan = false;
    runner.OnExecute = [&](TThreadComp&) {
        struct Guard {
            std::atomic<bool>& flag;
            ~Guard() { flag = true; }
        } guard{unwound};
        inWork.Open();
        try {
            TThreadComp::Synchronize([&] { syncRan = true; });
        } catch (const EThreadAborted&) {
            aborted = true;
            throw;
        }
    };
    CountTerminating(runner);
    runner.Command(tcRun);
    inWork.Wait();
    runner.Command(tcStop); // the loop never ran the synchronized call

    EXPECT_EQ(terminatingCalls, 1); // at once, on the calling thread
    EXPECT_EQ(terminatingThread, guiThread);
    EXPECT_EQ(runner.State(), rsIdle); // FreeOnTerminate: the worker object is gone
    EXPECT_EQ(runner.Thread(), nullptr);
    ASSERT_TRUE(gui.RunUntil([&] { return unwound.load(); }));
    gui.RunUntil([] { return false; }, 30ms);
    EXPECT_TRUE(aborted);
    EXPECT_FALSE(syncRan);
    EXPECT_EQ(terminatingCalls, 1); // the cut-off worker's own end is not reported again
    EXPECT_TRUE(gui.errors.empty());
}

TEST_F(RunnerTest, StopWithoutFreeOnTerminateKeepsTheStoppedWorker) {
    TGate release;
    TThreadComp runner(gui);
    runner.FreeOnTerminate = false;
    runner.ReturnValue = 42;
    runner.OnExecute = [&](TThreadComp&) { release.Wait(); };
    runner.Command(tcRun);
    runner.Command(tcStop);
    EXPECT_EQ(runner.State(), rsStopped);
    ASSERT_NE(runner.Thread(), nullptr);
    EXPECT_EQ(runner.Thread()->ExitCode(), 42);
    runner.Command(tcRun);  // stopped: nothing
    runner.Command(tcStop); // the kill step again, harmless
    EXPECT_EQ(runner.State(), rsStopped);
    release.Open();
}

TEST_F(RunnerTest, StopOnASuspendedWorkerNeverRunsTheWork) {
    TThreadComp runner(gui);
    runner.StartSuspended = true;
    std::atomic<bool> ran = false;
    runner.OnExecute = [&](TThreadComp&) { ran = true; };
    CountTerminating(runner);
    runner.Command(tcRun);
    runner.Command(tcStop);
    EXPECT_EQ(runner.State(), rsIdle);
    EXPECT_EQ(terminatingCalls, 1);
    gui.RunUntil([] { return false; }, 30ms);
    EXPECT_FALSE(ran);
}

TEST_F(RunnerTest, WithoutFreeOnTerminateTheStateStaysAfterTheWork) {
    TThreadComp runner(gui);
    runner.FreeOnTerminate = false;
    runner.ReturnValue = 7;
    std::atomic<int> runs = 0;
    runner.OnExecute = [&](TThreadComp&) { ++runs; };
    CountTerminating(runner);
    runner.Command(tcRun);
    ASSERT_TRUE(gui.RunUntil([&] { return terminatingCalls == 1; }));
    EXPECT_EQ(runner.State(), rsRunning);
    ASSERT_NE(runner.Thread(), nullptr);
    EXPECT_TRUE(runner.Thread()->Finished());
    EXPECT_EQ(runner.Thread()->ExitCode(), 7);
    runner.Command(tcRun);
    gui.RunUntil([] { return false; }, 20ms);
    EXPECT_EQ(runs, 1);
}

TEST_F(RunnerTest, SynchronizeRunsOnTheGuiThreadAndCarriesErrorsBack) {
    TThreadComp runner(gui);
    std::thread::id syncThread;
    std::string caught;
    runner.OnExecute = [&](TThreadComp&) {
        TThreadComp::Synchronize([&] { syncThread = std::this_thread::get_id(); });
        try {
            TThreadComp::Synchronize([] { throw std::runtime_error("view refused"); });
        } catch (const std::runtime_error& error) {
            caught = error.what();
        }
    };
    runner.Command(tcRun);
    ASSERT_TRUE(UntilIdle(runner));
    EXPECT_EQ(syncThread, guiThread);
    EXPECT_EQ(caught, "view refused");
    EXPECT_TRUE(gui.errors.empty());

    // Outside a worker the method simply runs.
    bool ran = false;
    TThreadComp::Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(TThreadComp::Terminated());
}

TEST_F(RunnerTest, AnErrorOfTheWorkIsReportedOnTheGuiThreadAfterTheCleanUp) {
    TThreadComp runner(gui);
    runner.OnExecute = [](TThreadComp&) { throw std::runtime_error("Unknown file extension"); };
    TRunnerState stateAtNotification = rsIdle;
    runner.OnTerminating = [&](TThreadComp& sender) { stateAtNotification = sender.State(); };
    runner.Command(tcRun);
    ASSERT_TRUE(UntilIdle(runner));
    ASSERT_EQ(gui.errors.size(), 1u);
    EXPECT_EQ(gui.errors[0], "Unknown file extension");
    EXPECT_EQ(stateAtNotification, rsRunning); // before the worker object goes
    EXPECT_EQ(runner.Thread(), nullptr);
}

TEST_F(RunnerTest, DestroyingTheComponentNeverLeavesTheWorkerBehind) {
    // The worker waits for a GUI turn that never comes.
    std::atomic<bool> unwound = false;
    {
        TGate inWork; // outlives the runner, which waits for its worker
        TThreadComp runner(gui);
        runner.OnExecute = [&](TThreadComp&) {
            struct Guard {
                std::atomic<bool>& flag;
                ~Guard() { flag = true; }
            } guard{unwound};
            inWork.Open();
            TThreadComp::Synchronize([] {});
        };
        runner.Command(tcRun);
        inWork.Wait();
    }
    EXPECT_TRUE(unwound); // destroyed, and waited for

    // The worker is busy without ever reaching the GUI: the component waits.
    std::atomic<bool> finished = false;
    {
        TGate started; // outlives the runner, which waits for its worker
        TThreadComp runner(gui);
        runner.OnExecute = [&](TThreadComp&) {
            started.Open();
            std::this_thread::sleep_for(50ms);
            finished = true;
        };
        runner.Command(tcRun);
        started.Wait();
    }
    EXPECT_TRUE(finished);
    gui.RunPending(); // the finished worker's late notice reaches nothing
    EXPECT_TRUE(gui.errors.empty());

    // A killed worker still inside its work is waited for as well.
    finished = false;
    {
        TGate started; // outlives the runner, which waits for its worker
        TThreadComp runner(gui);
        runner.OnExecute = [&](TThreadComp&) {
            started.Open();
            std::this_thread::sleep_for(50ms);
            finished = true;
        };
        runner.Command(tcRun);
        started.Wait();
        runner.Command(tcStop);
        EXPECT_EQ(runner.State(), rsIdle);
    }
    EXPECT_TRUE(finished);
}

TEST_F(RunnerTest, PriorityReachesTheWorker) {
    TGate check;
    TGate checked;
    TThreadComp runner(gui);
    runner.SetThreadPriority(TThreadPriority::tpLowest);
    std::atomic<int> niceAtStart = -100;
    std::atomic<int> niceLater = -100;
    std::atomic<int> policyLater = -1;
    runner.OnExecute = [&](TThreadComp&) {
        niceAtStart = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        check.Wait();
        niceLater = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        policyLater = sched_getscheduler(0);
        checked.Open();
    };
    runner.Command(tcRun);
    runner.SetThreadPriority(TThreadPriority::tpIdle);
    EXPECT_EQ(runner.ThreadPriority(), TThreadPriority::tpIdle);
    check.Open();
    checked.Wait();
    ASSERT_TRUE(UntilIdle(runner));
    // Lowering needs no privileges, so these hold for every user.
    EXPECT_TRUE(niceAtStart == 10 || niceAtStart == 19); // the change may land first
    EXPECT_EQ(niceLater, 19);
    EXPECT_EQ(policyLater, SCHED_IDLE);
}

} // namespace
