#include "viewer/DocumentDisposer.h"

#include <QTextDocument>

TDocumentDisposer::~TDocumentDisposer() {
    if (!thread_) {
        return;
    }
    // The frees still queued run before the thread's loop ends.
    WaitUntilIdle();
    thread_->quit();
    thread_->wait();
    context_.reset();
}

bool TDocumentDisposer::Start() {
    if (!thread_) {
        thread_ = std::make_unique<QThread>();
        thread_->setObjectName("document disposer");
        context_ = std::make_unique<QObject>();
        context_->moveToThread(thread_.get());
        thread_->start(QThread::LowPriority);
    }
    return thread_->isRunning();
}

void TDocumentDisposer::Dispose(std::unique_ptr<QTextDocument> document) {
    if (!document || !Start()) {
        return; // freed here, at once
    }
    // Its timers (the layout's) and pending events go with it to the thread
    // that frees it.
    document->moveToThread(thread_.get());
    if (document->thread() != thread_.get()) {
        return;
    }
    QTextDocument* handed = document.release();
    {
        std::lock_guard held(lock_);
        ++pending_;
    }
    QMetaObject::invokeMethod(
        context_.get(),
        [this, handed] {
            delete handed;
            Freed();
        },
        Qt::QueuedConnection);
}

void TDocumentDisposer::Freed() {
    {
        std::lock_guard held(lock_);
        --pending_;
    }
    idle_.notify_all();
}

void TDocumentDisposer::WaitUntilIdle() {
    std::unique_lock held(lock_);
    idle_.wait(held, [&] { return pending_ == 0; });
}
