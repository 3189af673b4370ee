#pragma once

#include "services/FeedbackDiagnostics.h"
#include "services/FeedbackKind.h"

#include <QString>
#include <QUrl>
#include <optional>

// The feedback window's rules that do not need a screen: the word limit and the e-mail fallback.
class FeedbackComposition {
public:
    static constexpr int maxWords = 2000;

    static QString supportAddress() { return QStringLiteral("support@brewbeacon.app"); }
    static QString successText(const QString& reportId);

    // Maximal runs of characters that are not white space; newlines count as white space.
    static int wordCount(const QString& message);
    static bool canSend(const QString& message, bool isSending);

    // "mailto:" with the subject and the message as typed plus the diagnostics preview.
    static std::optional<QUrl> emailFallbackURL(FeedbackKind kind, const QString& message,
                                                const FeedbackDiagnostics& diagnostics);
};
