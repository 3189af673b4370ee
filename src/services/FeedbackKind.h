#pragma once

#include <QList>
#include <QString>
#include <optional>

// What the user is reporting.
enum class FeedbackKind { problem, idea, praise };

QString rawValue(FeedbackKind kind);
std::optional<FeedbackKind> feedbackKind(const QString& raw);
// The phrase the e-mail subject uses.
QString subjectPhrase(FeedbackKind kind);
