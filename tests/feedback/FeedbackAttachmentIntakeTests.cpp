#include "services/gui/FeedbackAttachmentIntake.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

class FeedbackAttachmentIntakeTest : public ::testing::Test {
protected:
    // A real image in `format`, padded with trailing bytes to exactly `size` when asked (readers stop at
    // the image's end marker, so the padding does not spoil decoding).
    QUrl image(const QString& name, qint64 size = 0, const char* format = "PNG", int seed = 0)
    {
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(QColor(seed % 256, 10, 20));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, format);
        if (size > 0)
            bytes.append(QByteArray(size - bytes.size(), '\0'));
        return write(name, bytes);
    }

    QUrl write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return QUrl::fromLocalFile(file.fileName());
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(FeedbackAttachmentIntakeTest, PerFileSizeLimitIsTwoMillionBytesExactly)
{
    auto result = FeedbackAttachmentIntake::add({}, {image(u"at.png"_s, 2'000'000)});
    ASSERT_EQ(result.attachments.size(), 1);
    EXPECT_FALSE(result.notice);
    EXPECT_EQ(FeedbackAttachmentIntake::attachmentBytes(result.attachments), 2'000'000);

    result = FeedbackAttachmentIntake::add({}, {image(u"over.png"_s, 2'000'001)});
    EXPECT_TRUE(result.attachments.isEmpty());
    EXPECT_EQ(result.notice, FeedbackAttachmentIntake::limitsNotice());
}

TEST_F(FeedbackAttachmentIntakeTest, TotalLimitIsThreeMillionBytes)
{
    auto result = FeedbackAttachmentIntake::add({}, {image(u"a.png"_s, 1'600'000, "PNG", 1), image(u"b.png"_s, 1'600'000, "PNG", 2)});
    ASSERT_EQ(result.attachments.size(), 1);
    EXPECT_EQ(result.attachments.first().filename, u"a.png"_s);
    EXPECT_EQ(result.notice, FeedbackAttachmentIntake::limitsNotice());

    result = FeedbackAttachmentIntake::add(result.attachments, {image(u"c.png"_s, 1'400'000, "PNG", 3)});
    EXPECT_EQ(result.attachments.size(), 2);
    EXPECT_FALSE(result.notice);
    EXPECT_EQ(FeedbackAttachmentIntake::attachmentBytes(result.attachments), 3'000'000);
}

TEST_F(FeedbackAttachmentIntakeTest, TypeIsJudgedByExtensionAndByDecoding)
{
    const auto result = FeedbackAttachmentIntake::add(
        {}, {image(u"SHOT.PNG"_s), image(u"photo.jpeg"_s, 0, "JPEG", 5), image(u"anim.gif"_s, 0, "PNG", 6)});
    ASSERT_EQ(result.attachments.size(), 2);
    EXPECT_EQ(result.attachments[0].screenshot().contentType, u"image/png"_s);
    EXPECT_EQ(result.attachments[1].screenshot().contentType, u"image/jpeg"_s);
    EXPECT_FALSE(result.attachments[0].image.isNull());
    EXPECT_EQ(result.notice, FeedbackAttachmentIntake::limitsNotice());

    for (const QUrl& bad : {write(u"fake.png"_s, "not an image"), QUrl::fromLocalFile(dir.filePath(u"missing.png"_s)),
                            QUrl(u"https://example.com/a.png"_s)}) {
        const auto refused = FeedbackAttachmentIntake::add({}, {bad});
        EXPECT_TRUE(refused.attachments.isEmpty()) << bad.toString().toStdString();
        EXPECT_EQ(refused.notice, FeedbackAttachmentIntake::limitsNotice());
    }
}

TEST_F(FeedbackAttachmentIntakeTest, TheSameBytesAreAttachedOnceWithoutANotice)
{
    const QUrl shot = image(u"same.png"_s);
    auto result = FeedbackAttachmentIntake::add({}, {shot, shot});
    result = FeedbackAttachmentIntake::add(result.attachments, {shot});
    EXPECT_EQ(result.attachments.size(), 1);
    EXPECT_FALSE(result.notice);
}

TEST_F(FeedbackAttachmentIntakeTest, OfferingMoreThanTheFreeSlotsTakesFilesInOrderUntilFive)
{
    QList<QUrl> four;
    for (int n = 0; n < 4; ++n)
        four.append(image(u"have%1.png"_s.arg(n), 0, "PNG", 10 + n));
    auto result = FeedbackAttachmentIntake::add({}, four);
    ASSERT_EQ(result.attachments.size(), 4);

    result = FeedbackAttachmentIntake::add(result.attachments, {image(u"x.png"_s, 0, "PNG", 20), image(u"y.png"_s, 0, "PNG", 21),
                                                                image(u"z.png"_s, 0, "PNG", 22)});
    ASSERT_EQ(result.attachments.size(), 5);
    EXPECT_EQ(result.attachments.last().filename, u"x.png"_s);
    EXPECT_EQ(result.notice, FeedbackAttachmentIntake::tooManyNotice());

    // A refused file before the fifth replaces the notice, and the next good file still fills the slot.
    result = FeedbackAttachmentIntake::add(result.attachments.first(4), {write(u"bad.gif"_s, "GIF89a"), image(u"w.png"_s, 0, "PNG", 23)});
    EXPECT_EQ(result.attachments.last().filename, u"w.png"_s);
    EXPECT_EQ(result.notice, FeedbackAttachmentIntake::limitsNotice());
}

TEST_F(FeedbackAttachmentIntakeTest, KeepsAPreviewSizedPictureAndRefusesAnythingButARegularFile)
{
    QImage large(3000, 2000, QImage::Format_RGB32);
    large.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    large.save(&buffer, "PNG");
    const auto result = FeedbackAttachmentIntake::add({}, {write(u"wide.png"_s, bytes)});
    ASSERT_EQ(result.attachments.size(), 1);
    EXPECT_EQ(result.attachments[0].data, bytes) << "the file itself is sent unchanged";
    EXPECT_LE(result.attachments[0].image.width(), FeedbackAttachmentIntake::thumbnailEdge);
    EXPECT_LE(result.attachments[0].image.height(), FeedbackAttachmentIntake::thumbnailEdge);

    // A FIFO named like a picture: reading it would wait for a writer forever.
    const QString fifo = dir.filePath(u"shot.png"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto refused = FeedbackAttachmentIntake::add({}, {QUrl::fromLocalFile(fifo)});
    EXPECT_TRUE(refused.attachments.isEmpty());
    EXPECT_EQ(refused.notice, FeedbackAttachmentIntake::limitsNotice());
}
