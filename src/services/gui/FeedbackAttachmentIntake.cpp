#include "services/gui/FeedbackAttachmentIntake.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// The file's bytes when it may be attached next to `current`.
std::optional<QByteArray> acceptableBytes(const QUrl& file, qint64 currentBytes)
{
    if (!file.isLocalFile())
        return std::nullopt;
    const QString path = file.toLocalFile();
    const QFileInfo info(path);
    const QString extension = info.suffix().toLower();
    if (extension != u"png" && extension != u"jpg" && extension != u"jpeg")
        return std::nullopt;
    // Only a regular file: a FIFO or a device named like a picture would block the read or never end.
    if (!info.isFile())
        return std::nullopt;
    QFile handle(path);
    if (!handle.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read at most one byte past the limit so a huge file is never loaded whole.
    const QByteArray data = handle.read(FeedbackAttachmentIntake::maxFileBytes + 1);
    if (handle.error() != QFileDevice::NoError)
        return std::nullopt;
    if (data.size() > FeedbackAttachmentIntake::maxFileBytes)
        return std::nullopt;
    if (currentBytes + data.size() > FeedbackAttachmentIntake::maxTotalBytes)
        return std::nullopt;
    return data;
}

// A preview of the picture, decoded from `data`; null when it is no PNG or JPEG we can read.
QImage thumbnailOf(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || qint64(size.width()) * size.height() > FeedbackAttachmentIntake::maxPixels)
        return {};
    const int edge = FeedbackAttachmentIntake::thumbnailEdge;
    if (size.width() > edge || size.height() > edge)
        reader.setScaledSize(size.scaled(edge, edge, Qt::KeepAspectRatio));
    return reader.read();
}

} // namespace

QString FeedbackAttachmentIntake::tooManyNotice()
{
    return u"You can attach up to 5 images."_s;
}

QString FeedbackAttachmentIntake::limitsNotice()
{
    return u"Use up to 5 PNG or JPEG images, 2 MB each and 3 MB total."_s;
}

qint64 FeedbackAttachmentIntake::attachmentBytes(const QList<FeedbackAttachment>& attachments)
{
    qint64 total = 0;
    for (const auto& attachment : attachments)
        total += attachment.data.size();
    return total;
}

FeedbackAttachmentIntake::Result FeedbackAttachmentIntake::add(QList<FeedbackAttachment> current,
                                                                const QList<QUrl>& files)
{
    std::optional<QString> notice;
    if (files.size() > maxAttachments - current.size())
        notice = tooManyNotice();
    for (const QUrl& file : files) {
        if (current.size() >= maxAttachments)
            break;
        const auto data = acceptableBytes(file, attachmentBytes(current));
        const QImage image = data ? thumbnailOf(*data) : QImage();
        if (image.isNull()) {
            notice = limitsNotice();
            continue;
        }
        const bool duplicate = std::any_of(current.cbegin(), current.cend(),
                                           [&](const FeedbackAttachment& attachment) { return attachment.data == *data; });
        if (duplicate)
            continue;
        current.append({QUuid::createUuid(), QFileInfo(file.toLocalFile()).fileName(), *data, image});
    }
    return {std::move(current), std::move(notice)};
}
