#pragma once

#include "services/FeedbackDiagnostics.h"
#include "services/FeedbackKind.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

// One screenshot as it travels: the file's name and its bytes in Base64.
struct FeedbackScreenshot {
    QString filename;
    QString contentType;
    QString base64;

    // "image/png" for a .png name in any letter case, otherwise "image/jpeg".
    static FeedbackScreenshot from(const QString& filename, const QByteArray& data);
    QJsonObject toJson() const;

    bool operator==(const FeedbackScreenshot&) const = default;
};

// One report as posted to the product service.
struct FeedbackSubmission {
    QString reportId;
    FeedbackKind kind = FeedbackKind::problem;
    QString message;
    std::optional<QString> email;
    std::optional<FeedbackDiagnostics> diagnostics;
    QList<FeedbackScreenshot> attachments;
    // Always empty; a filled one marks an automated sender to the service.
    QString website;

    // A new report: fresh lower-case id, message and e-mail trimmed, an empty e-mail left out.
    static FeedbackSubmission make(FeedbackKind kind, const QString& message, const QString& email,
                                   std::optional<FeedbackDiagnostics> diagnostics,
                                   QList<FeedbackScreenshot> attachments);
    static QString newReportId();

    QJsonObject toJson() const;

    bool operator==(const FeedbackSubmission&) const = default;
};
