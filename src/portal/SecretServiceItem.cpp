#include "portal/SecretServiceItem.h"

#include <QCoroSignal>
#include <memory>
#include <qt6keychain/keychain.h>

namespace {
struct JobDeleter {
    void operator()(QKeychain::Job* job) const { job->deleteLater(); }
};
template <typename J> using JobPointer = std::unique_ptr<J, JobDeleter>;

// Starts the job and waits for it to finish, also when it finishes before we begin waiting.
QCoro::Task<void> run(QKeychain::Job* job)
{
    auto finished = std::make_shared<bool>(false);
    QObject::connect(job, &QKeychain::Job::finished, job, [finished] { *finished = true; });
    job->start();
    if (!*finished)
        co_await qCoro(job, &QKeychain::Job::finished);
}
} // namespace

SecretServiceItem::SecretServiceItem(QString service, QString account)
    : m_service(std::move(service)), m_account(std::move(account))
{
}

QCoro::Task<SecretReadResult> SecretServiceItem::read() const
{
    JobPointer<QKeychain::ReadPasswordJob> job(new QKeychain::ReadPasswordJob(m_service));
    job->setAutoDelete(false);
    job->setInsecureFallback(false);
    job->setKey(m_account);
    co_await run(job.get());

    switch (job->error()) {
    case QKeychain::NoError:
        co_return SecretReadResult::found(job->binaryData());
    case QKeychain::EntryNotFound:
        co_return SecretReadResult::notFound();
    default:
        co_return SecretReadResult::failed(job->errorString());
    }
}

QCoro::Task<SecretWriteResult> SecretServiceItem::write(QByteArray data) const
{
    JobPointer<QKeychain::WritePasswordJob> job(new QKeychain::WritePasswordJob(m_service));
    job->setAutoDelete(false);
    job->setInsecureFallback(false);
    job->setKey(m_account);
    // Stored as text so the item holds the JSON itself, readable by any Secret Service client.
    job->setTextData(QString::fromUtf8(data));
    co_await run(job.get());

    if (job->error() == QKeychain::NoError)
        co_return SecretWriteResult::written();
    co_return SecretWriteResult::failed(job->errorString());
}
