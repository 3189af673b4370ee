#include "services/FeedbackComposition.h"

#include <QUrlQuery>

using namespace Qt::StringLiterals;

QString FeedbackComposition::successText(const QString& reportId)
{
    return u"Feedback sent. Reference "_s + reportId.left(8);
}

int FeedbackComposition::wordCount(const QString& message)
{
    int words = 0;
    bool inWord = false;
    for (const char32_t character : message.toUcs4()) {
        const bool space = QChar::isSpace(character);
        if (!space && !inWord)
            ++words;
        inWord = !space;
    }
    return words;
}

bool FeedbackComposition::canSend(const QString& message, bool isSending)
{
    return !isSending && !message.trimmed().isEmpty() && wordCount(message) <= maxWords;
}

std::optional<QUrl> FeedbackComposition::emailFallbackURL(FeedbackKind kind, const QString& message,
                                                          const FeedbackDiagnostics& diagnostics)
{
    QUrl url;
    url.setScheme(u"mailto"_s);
    url.setPath(supportAddress());
    QUrlQuery query;
    // Encode the few characters a query value cannot carry as they are; the rest stays readable.
    const auto encoded = [](const QString& text) {
        return QString::fromLatin1(QUrl::toPercentEncoding(text, "!$'()*,;:@/?"));
    };
    query.setQueryItems({{u"subject"_s, encoded(u"BrewBeacon feedback: "_s + subjectPhrase(kind))},
                         {u"body"_s, encoded(message + u"\n\nDiagnostics:\n"_s + diagnostics.previewText())}});
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}
