#include "services/FeedbackSubmission.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QUuid>

using namespace Qt::StringLiterals;

FeedbackScreenshot FeedbackScreenshot::from(const QString& filename, const QByteArray& data)
{
    const QString name = QFileInfo(filename).fileName();
    const QString type = name.toLower().endsWith(u".png"_s) ? u"image/png"_s : u"image/jpeg"_s;
    return {name, type, QString::fromLatin1(data.toBase64())};
}

QJsonObject FeedbackScreenshot::toJson() const
{
    return {{u"filename"_s, filename}, {u"contentType"_s, contentType}, {u"base64"_s, base64}};
}

QString FeedbackSubmission::newReportId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
}

FeedbackSubmission FeedbackSubmission::make(FeedbackKind kind, const QString& message, const QString& email,
                                            std::optional<FeedbackDiagnostics> diagnostics,
                                            QList<FeedbackScreenshot> attachments)
{
    FeedbackSubmission submission;
    submission.reportId = newReportId();
    submission.kind = kind;
    submission.message = message.trimmed();
    const QString trimmedEmail = email.trimmed();
    if (!trimmedEmail.isEmpty())
        submission.email = trimmedEmail;
    submission.diagnostics = std::move(diagnostics);
    submission.attachments = std::move(attachments);
    return submission;
}

QJsonObject FeedbackSubmission::toJson() const
{
    QJsonObject object{{u"reportId"_s, reportId}, {u"kind"_s, rawValue(kind)}, {u"message"_s, message}};
    if (email)
        object.insert(u"email"_s, *email);
    if (diagnostics)
        object.insert(u"diagnostics"_s, diagnostics->toJson());
    QJsonArray screenshots;
    for (const auto& screenshot : attachments)
        screenshots.append(screenshot.toJson());
    object.insert(u"attachments"_s, screenshots);
    object.insert(u"website"_s, website);
    return object;
}
