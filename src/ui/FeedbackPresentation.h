#pragma once

#include "services/FeedbackKind.h"

#include <QLocale>
#include <QString>
#include <optional>

// What the feedback form shows once a send has finished.
struct FeedbackResult {
    enum class Kind { success, failure };
    Kind kind = Kind::failure;
    QString payload; // the reference of a success, the message of a failure

    static FeedbackResult success(QString reference) { return {Kind::success, std::move(reference)}; }
    static FeedbackResult failure(QString message) { return {Kind::failure, std::move(message)}; }

    bool operator==(const FeedbackResult&) const = default;
};


namespace FeedbackPresentation {

// "What went wrong?" and the prompt under it, by kind.
QString messageTitle(FeedbackKind kind, const QLocale& locale);
QString messagePrompt(FeedbackKind kind, const QLocale& locale);

// "37/2,000 words".
QString wordCounter(int wordCount, const QLocale& locale);
// Why Send is off when the message is too long; empty while it fits.
QString wordLimitNotice(int wordCount, const QLocale& locale);
// "2 of 5 images · 1.4 MB", the size in the locale's file-size style.
QString attachmentCounter(qsizetype count, qint64 totalBytes, const QLocale& locale);

struct ResultLine {
    QString text;
    QString systemImage;
    bool isSuccess = false; // green, else red

    bool operator==(const ResultLine&) const = default;
};
ResultLine resultLine(const FeedbackResult& result, const QLocale& locale);

// "Send Feedback", or "Sending…" while a send runs.
QString sendButtonTitle(bool isSending, const QLocale& locale);

} // namespace FeedbackPresentation
