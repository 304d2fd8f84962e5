#pragma once
// Hands filled buffers to a sink on a thread of its own, in the order they
// were filled, so that producing the next piece of a document and writing the
// last one overlap. The buffers are reused, so a long document costs no more
// fresh memory than the few buffers in flight.

#include "engine/ByteSink.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TChunkWriter {
public:
    TChunkWriter(TByteSink& sink, std::size_t chunkSize, std::size_t chunkCount);
    // Stops the writer; what was not written yet is dropped (the conversion
    // failed: see Finish for the end of a good one).
    ~TChunkWriter();
    TChunkWriter(const TChunkWriter&) = delete;
    TChunkWriter& operator=(const TChunkWriter&) = delete;

    std::size_t ChunkSize() const { return chunkSize_; }
    // A buffer of ChunkSize bytes to fill, waiting while every buffer is in
    // flight. Throws what the sink threw, should a write have failed.
    char* Acquire();
    // Queues the buffer Acquire gave, its first USED bytes filled.
    void Submit(char* chunk, std::size_t used);
    // Waits until everything queued is written; throws the sink's failure.
    void Finish();

private:
    struct TPending {
        char* Chunk; // given back once written
        std::size_t Size;
    };
    void Run();
    void ThrowIfFailed(); // the lock held

    TByteSink& sink_;
    const std::size_t chunkSize_;
    std::vector<std::unique_ptr<char[]>> storage_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<char*> free_;
    std::deque<TPending> queue_;
    bool writing_ = false; // the writer holds a chunk outside the queue
    bool stop_ = false;
    std::exception_ptr failure_;
    std::thread thread_; // last: started once everything above exists
};
