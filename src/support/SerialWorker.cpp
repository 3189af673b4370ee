#include "support/SerialWorker.h"

#include <QMetaObject>

SerialWorker::SerialWorker(QString label) : m_label(std::move(label))
{
    m_thread.setObjectName(m_label);
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
}

SerialWorker::~SerialWorker()
{
    if (m_thread.isRunning()) {
        m_thread.quit();
        m_thread.wait();
    } else {
        delete m_context;
    }
}

bool SerialWorker::isCurrentThread() const { return QThread::currentThread() == &m_thread; }

void SerialWorker::post(std::function<void()> work)
{
    // The thread starts with the first job, so constructing a component has no side effects.
    if (!m_thread.isRunning() && !m_thread.isFinished())
        m_thread.start();
    QMetaObject::invokeMethod(m_context, std::move(work), Qt::QueuedConnection);
}

void SerialWorker::Submission::await_suspend(std::coroutine_handle<> awaiter)
{
    // A context object on the caller's thread: the worker posts the resumption to it.
    auto* home = new QObject;
    std::shared_ptr<Waiting> waiting = m_worker->m_waiting;
    waiting->hold(awaiter.address(), home);
    m_worker->post([work = std::move(m_work), home, awaiter, waiting]() mutable {
        work();
        // The job's captures go before the caller resumes, so it never sees them still held.
        work = nullptr;
        QMetaObject::invokeMethod(
            home,
            [home, awaiter, waiting]() {
                waiting->release(awaiter.address());
                delete home;
                awaiter.resume();
            },
            Qt::QueuedConnection);
    });
}

void SerialWorker::Waiting::hold(void* awaiter, QObject* home)
{
    const std::lock_guard lock(m_mutex);
    m_homes.emplace(awaiter, home);
}

void SerialWorker::Waiting::release(void* awaiter)
{
    const std::lock_guard lock(m_mutex);
    m_homes.erase(awaiter);
}
