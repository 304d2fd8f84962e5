#pragma once
// Work on several threads whose results are taken in order: pas2rtf's -j,
// whose messages come in the order of the files however the conversions
// overlap.

#include <cstddef>
#include <functional>

// Runs WORK(0) to WORK(COUNT-1) on up to THREADS threads, and DONE(i) on the
// calling thread for each i in order, as soon as WORK(i) and every work before
// it have finished. With one thread everything runs on the calling thread.
// WORK must not throw.
void RunInOrder(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& done);
