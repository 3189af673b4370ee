#include "ui/FeedbackPresentation.h"

#include "services/FeedbackComposition.h"

#include "ui/UiText.h"

using namespace Qt::StringLiterals;

namespace FeedbackPresentation {

QString messageTitle(FeedbackKind kind, const QLocale& locale)
{
    switch (kind) {
    case FeedbackKind::problem:
        return uiText(u"What went wrong?"_s, locale);
    case FeedbackKind::idea:
        return uiText(u"What would you like to see?"_s, locale);
    case FeedbackKind::praise:
        break;
    }
    return uiText(u"What worked well?"_s, locale);
}

QString messagePrompt(FeedbackKind kind, const QLocale& locale)
{
    switch (kind) {
    case FeedbackKind::problem:
        return uiText(u"Describe what happened and what you expected instead."_s, locale);
    case FeedbackKind::idea:
        return uiText(u"Describe your idea and how it would help."_s, locale);
    case FeedbackKind::praise:
        break;
    }
    return uiText(u"Tell us what was useful or delightful."_s, locale);
}

QString wordLimitNotice(int wordCount, const QLocale& locale)
{
    if (wordCount <= FeedbackComposition::maxWords)
        return QString();
    return uiText(u"The message is over 2,000 words; shorten it to send."_s, locale);
}

QString wordCounter(int wordCount, const QLocale& locale)
{
    return QString::number(wordCount) + uiText(u"/2,000 words"_s, locale);
}

QString attachmentCounter(qsizetype count, qint64 totalBytes, const QLocale& locale)
{
    // Decimal units, as file managers show sizes.
    return QString::number(count) + uiText(u" of 5 images · "_s, locale)
        + locale.formattedDataSize(totalBytes, 1, QLocale::DataSizeSIFormat);
}

ResultLine resultLine(const FeedbackResult& result, const QLocale& locale)
{
    if (result.kind == FeedbackResult::Kind::success)
        return {uiText(u"Feedback sent. Reference "_s, locale) + result.payload, u"checkmark.circle.fill"_s, true};
    // The application's own failure texts have a translation; a server's message shows as written.
    return {uiText(result.payload, locale), u"exclamationmark.triangle.fill"_s, false};
}

QString sendButtonTitle(bool isSending, const QLocale& locale)
{
    return uiText(isSending ? u"Sending…"_s : u"Send Feedback"_s, locale);
}

} // namespace FeedbackPresentation
