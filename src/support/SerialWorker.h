#pragma once

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QThread>
#include <coroutine>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <type_traits>

// A named serial queue: one thread of its own runs submitted jobs one at a time, in submission order.
// A caller awaits run(job) and resumes on its own thread with the job's value; the caller's thread is
// never blocked, however long the job takes.
// Callers pass a job that captures anything with a destructor as a named local (std::move(job)):
// GCC 12 destroys a lambda written inside a co_await expression twice.
class SerialWorker {
public:
    explicit SerialWorker(QString label);
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    const QString& label() const { return m_label; }
    // Whether the calling code runs on this worker's thread (for assertions in platform code).
    bool isCurrentThread() const;

    template <typename Job> QCoro::Task<std::invoke_result_t<Job>> run(Job job)
    {
        using Result = std::invoke_result_t<Job>;
        // The awaitable is a named local, never a temporary inside the co_await expression: GCC 12
        // destroys such temporaries twice, which released the job's captures while still in use.
        if constexpr (std::is_void_v<Result>) {
            Submission submission(this, std::function<void()>(std::move(job)));
            co_await submission;
        } else {
            auto result = std::make_shared<std::optional<Result>>();
            Submission submission(this, [result, job = std::move(job)]() mutable { result->emplace(job()); });
            co_await submission;
            co_return std::move(**result);
        }
    }

private:
    // Suspends the awaiting coroutine, runs the work on the worker thread, resumes on the caller's thread.
    class Submission {
    public:
        Submission(SerialWorker* worker, std::function<void()> work) : m_worker(worker), m_work(std::move(work)) {}
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> awaiter);
        void await_resume() const noexcept {}

    private:
        SerialWorker* m_worker;
        std::function<void()> m_work;
    };

    // The callers suspended on a job, each with the object its resumption is posted to. Held here so a
    // caller still waiting when the app ends stays owned by the worker (and through it by whatever owns
    // the worker) instead of being dropped with a resumption the ended event loop never delivers.
    class Waiting {
    public:
        void hold(void* awaiter, QObject* home);
        void release(void* awaiter);

    private:
        std::mutex m_mutex;
        std::unordered_map<void*, QObject*> m_homes;
    };

    void post(std::function<void()> work);

    std::shared_ptr<Waiting> m_waiting = std::make_shared<Waiting>();
    QString m_label;
    QThread m_thread;
    QObject* m_context = nullptr;
};
