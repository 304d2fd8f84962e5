#include "tools/pas2rtf/ChunkWriter.h"

TChunkWriter::TChunkWriter(TByteSink& sink, std::size_t chunkSize, std::size_t chunkCount)
    : sink_(sink), chunkSize_(chunkSize) {
    for (std::size_t i = 0; i < chunkCount; ++i) {
        storage_.push_back(std::make_unique_for_overwrite<char[]>(chunkSize));
        free_.push_back(storage_.back().get());
    }
    thread_ = std::thread([this] { Run(); });
}

TChunkWriter::~TChunkWriter() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

void TChunkWriter::ThrowIfFailed() {
    if (failure_) {
        std::rethrow_exception(failure_);
    }
}

char* TChunkWriter::Acquire() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty() || failure_; });
    ThrowIfFailed();
    char* chunk = free_.back();
    free_.pop_back();
    return chunk;
}

void TChunkWriter::Submit(char* chunk, std::size_t used) {
    {
        std::lock_guard lock(mutex_);
        if (failure_) {
            free_.push_back(chunk);
            ThrowIfFailed();
        }
        queue_.push_back({chunk, used});
    }
    changed_.notify_all();
}

void TChunkWriter::Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (queue_.empty() && !writing_) || failure_; });
    ThrowIfFailed();
}

void TChunkWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || stop_; });
        if (stop_) {
            return;
        }
        const TPending pending = queue_.front();
        queue_.pop_front();
        writing_ = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            if (pending.Size > 0) {
                sink_.Write({pending.Chunk, pending.Size});
            }
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        writing_ = false;
        free_.push_back(pending.Chunk);
        if (failure) {
            failure_ = failure;
            for (const TPending& dropped : queue_) {
                free_.push_back(dropped.Chunk);
            }
            queue_.clear();
        }
        changed_.notify_all();
        if (failure_) {
            // Nothing more is written; callers learn of the failure from us.
            changed_.wait(lock, [this] { return stop_; });
            return;
        }
    }
}
