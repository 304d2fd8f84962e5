#pragma once
// The test thread acting as the GUI thread: tasks posted by workers wait in a
// queue until the test runs the loop. Errors escaping a task are collected,
// as the application's error report would show them.

#include "viewer/ThdComp.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class TTestGuiLoop : public TGuiThread {
public:
    void Post(std::function<void()> task) override {
        {
            std::lock_guard held(lock_);
            tasks_.push_back(std::move(task));
        }
        posted_.notify_all();
    }

    // Runs tasks until DONE holds; false when it still does not after TIMEOUT.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            std::function<void()> task;
            {
                std::unique_lock held(lock_);
                // Short waits: DONE may also turn true on a worker, without a task.
                if (!posted_.wait_for(held, std::chrono::milliseconds(1),
                                      [&] { return !tasks_.empty(); })) {
                    if (std::chrono::steady_clock::now() > deadline) {
                        return false;
                    }
                    continue;
                }
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            RunTask(task);
        }
        return true;
    }

    // Runs what is queued now, without waiting for more.
    void RunPending() {
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard held(lock_);
                if (tasks_.empty()) {
                    return;
                }
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            RunTask(task);
        }
    }

    std::vector<std::string> errors;

private:
    void RunTask(const std::function<void()>& task) {
        try {
            task();
        } catch (const std::exception& error) {
            errors.push_back(error.what());
        }
    }

    std::mutex lock_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
};
