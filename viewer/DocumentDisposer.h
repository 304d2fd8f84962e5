#pragma once
// Frees documents the view no longer shows, on a thread of its own: freeing a
// large document (its text, its blocks and their layouts) takes long enough to
// freeze the window.

#include <QObject>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

class QTextDocument;

class TDocumentDisposer {
public:
    TDocumentDisposer() = default;
    // Waits until every document handed over has been freed.
    ~TDocumentDisposer();
    TDocumentDisposer(const TDocumentDisposer&) = delete;
    TDocumentDisposer& operator=(const TDocumentDisposer&) = delete;

    // Frees DOCUMENT later, elsewhere. It must have no parent, live in the
    // calling thread and be shown nowhere; nothing may reach it afterwards.
    void Dispose(std::unique_ptr<QTextDocument> document);
    // Blocks until every document handed over has been freed.
    void WaitUntilIdle();

private:
    bool Start();
    void Freed();

    std::unique_ptr<QThread> thread_;
    std::unique_ptr<QObject> context_; // lives in thread_: the frees run there
    std::mutex lock_;
    std::condition_variable idle_;
    int pending_ = 0;
};
