#include "tools/pas2rtf/JobRunner.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

void RunInOrder(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& done) {
    const std::size_t workers = std::min<std::size_t>(threads, count);
    if (workers <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            done(i);
        }
        return;
    }
    std::atomic<std::size_t> next{0};
    std::mutex lock;
    std::condition_variable finishedOne;
    std::vector<char> finished(count, 0);
    std::vector<std::jthread> pool;
    pool.reserve(workers);
    for (std::size_t w = 0; w < workers; ++w) {
        pool.emplace_back([&] {
            for (std::size_t i = next++; i < count; i = next++) {
                work(i);
                {
                    const std::lock_guard guard(lock);
                    finished[i] = 1;
                }
                finishedOne.notify_all();
            }
        });
    }
    for (std::size_t i = 0; i < count; ++i) {
        {
            std::unique_lock guard(lock);
            finishedOne.wait(guard, [&] { return finished[i] != 0; });
        }
        done(i);
    }
}
