#pragma once

#include "services/update/AppcastItem.h"
#include "services/update/AppcastReader.h"
#include "services/update/UpdateError.h"

#include <QCoroTask>
#include <QNetworkAccessManager>

#include <functional>
#include <optional>

// Fetches an update's file to disk, reporting progress, and refuses a file whose size differs from
// what the feed promised (so a truncated or padded download never reaches the signature check). The
// file is written as it arrives and the transfer stops as soon as it exceeds the promised size.
class UpdateDownloader {
public:
    using Progress = std::function<void(qint64 received, qint64 total)>;

    struct Result {
        std::optional<UpdateError> error;
        QString filePath; // only without an error
    };

    // No download is ever larger than this, whatever the feed announces.
    static constexpr qint64 maximumBytes = AppcastReader::maximumEnclosureLength;

    explicit UpdateDownloader(QString directory);

    QCoro::Task<Result> download(AppcastEnclosure enclosure, Progress progress);

private:
    QString m_directory;
    QNetworkAccessManager m_network;
};
