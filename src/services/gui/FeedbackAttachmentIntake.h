#pragma once

#include "services/FeedbackSubmission.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>

// A screenshot the user attached, held by the feedback window until sending.
struct FeedbackAttachment {
    QUuid id;
    QString filename;
    QByteArray data;
    // A preview no larger than thumbnailEdge on either side: the decoded picture itself is not kept
    // (five large screenshots decoded whole held over half a gigabyte).
    QImage image;

    FeedbackScreenshot screenshot() const { return FeedbackScreenshot::from(filename, data); }
};

// Takes offered files (chooser or drop) into the attachment list within the limits. Sizes are decimal.
class FeedbackAttachmentIntake {
public:
    static constexpr int maxAttachments = 5;
    static constexpr qint64 maxFileBytes = 2'000'000;
    static constexpr qint64 maxTotalBytes = 3'000'000;
    static constexpr int thumbnailEdge = 256;
    // Larger pictures are refused before decoding: a small file can describe a huge one.
    static constexpr qint64 maxPixels = 32'000'000;

    static QString tooManyNotice();
    static QString limitsNotice();

    struct Result {
        QList<FeedbackAttachment> attachments;
        // Shown as a failure; none when every offered file was taken or was a duplicate.
        std::optional<QString> notice;
    };

    static qint64 attachmentBytes(const QList<FeedbackAttachment>& attachments);
    static Result add(QList<FeedbackAttachment> current, const QList<QUrl>& files);
};
