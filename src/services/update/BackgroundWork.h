#pragma once

#include <QCoroFuture>
#include <QCoroTask>
#include <QFuture>
#include <QPromise>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// Progress a worker thread publishes and the awaiting thread reads.
struct BackgroundProgress {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
};

// Runs `work` on a thread of its own, so unpacking or hashing a large file never stalls the windows or
// the tray. The awaiting coroutine resumes on its own thread; while it waits, `onProgress` is called
// there whenever the published progress changed. `work` must own everything it uses.
template <typename T>
QCoro::Task<T> runInBackground(std::function<T(BackgroundProgress&)> work, std::function<void(qint64, qint64)> onProgress = {})
{
    auto progress = std::make_shared<BackgroundProgress>();
    QPromise<T> promise;
    QFuture<T> future = promise.future();
    std::thread worker([promise = std::move(promise), work = std::move(work), progress]() mutable {
        promise.start();
        promise.addResult(work(*progress));
        promise.finish();
    });
    worker.detach();

    QTimer poll;
    poll.setInterval(100);
    qint64 shownDone = -1;
    qint64 shownTotal = -1;
    const auto report = [&] {
        const qint64 done = progress->done.load();
        const qint64 total = progress->total.load();
        if (onProgress && (done != shownDone || total != shownTotal))
            onProgress(done, total);
        shownDone = done;
        shownTotal = total;
    };
    QObject::connect(&poll, &QTimer::timeout, report);
    poll.start();
    T result = co_await future;
    poll.stop();
    report();
    co_return result;
}
