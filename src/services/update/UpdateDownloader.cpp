#include "services/update/UpdateDownloader.h"

#include <QCoroNetworkReply>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>

#include <memory>

using namespace Qt::StringLiterals;

UpdateDownloader::UpdateDownloader(QString directory) : m_directory(std::move(directory))
{
    m_network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

QCoro::Task<UpdateDownloader::Result> UpdateDownloader::download(AppcastEnclosure enclosure, Progress progress)
{
    // The feed's promise is the cap, and no promise may exceed the absolute ceiling.
    if (enclosure.length <= 0 || enclosure.length > maximumBytes)
        co_return Result{UpdateError::downloadSizeMismatch(maximumBytes, enclosure.length), {}};
    if (!QDir().mkpath(m_directory))
        co_return Result{UpdateError::downloadFailed(u"cannot create "_s + m_directory), {}};
    const QString name = QFileInfo(enclosure.url.path()).fileName();
    const QString path = QDir(m_directory).filePath(name.isEmpty() ? u"update.tar.gz"_s : name);
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        co_return Result{UpdateError::downloadFailed(file->errorString()), {}};

    QNetworkRequest request(enclosure.url);
    request.setTransferTimeout(60000);
    request.setMaximumRedirectsAllowed(5);
    std::unique_ptr<QNetworkReply> reply(m_network.get(request));
    // What Qt holds before it is written out stays small however fast the server sends.
    reply->setReadBufferSize(1 << 20);
    const qint64 expected = enclosure.length;
    bool tooLong = false;
    // Written as it arrives, so a large file never sits in memory; stopped as soon as it overruns.
    QObject::connect(reply.get(), &QIODevice::readyRead, reply.get(), [&, file] {
        const QByteArray chunk = reply->readAll();
        if (file->size() + chunk.size() > expected) {
            tooLong = true;
            reply->abort();
            return;
        }
        file->write(chunk);
    });
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, reply.get(),
                     [progress, expected](qint64 received, qint64) {
                         if (progress)
                             progress(received, expected);
                     });
    co_await qCoro(reply.get()).waitForFinished();
    if (!tooLong && reply->bytesAvailable() > 0) {
        const QByteArray rest = reply->readAll();
        tooLong = file->size() + rest.size() > expected;
        if (!tooLong)
            file->write(rest);
    }
    const qint64 received = file->size();
    file->close();

    const auto fail = [&](UpdateError error) {
        QFile::remove(path);
        return Result{std::move(error), {}};
    };
    if (tooLong)
        co_return fail(UpdateError::downloadSizeMismatch(expected, received + 1));
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError)
        co_return fail(UpdateError::downloadFailed(reply->errorString()));
    if (status < 200 || status > 299)
        co_return fail(UpdateError::downloadFailed(u"server returned "_s + QString::number(status)));
    if (received != expected)
        co_return fail(UpdateError::downloadSizeMismatch(expected, received));
    co_return Result{std::nullopt, path};
}
