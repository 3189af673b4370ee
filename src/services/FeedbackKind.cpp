#include "services/FeedbackKind.h"

using namespace Qt::StringLiterals;

QString rawValue(FeedbackKind kind)
{
    switch (kind) {
    case FeedbackKind::problem: return u"problem"_s;
    case FeedbackKind::idea: return u"idea"_s;
    case FeedbackKind::praise: return u"praise"_s;
    }
    return u"problem"_s;
}

std::optional<FeedbackKind> feedbackKind(const QString& raw)
{
    for (auto kind : {FeedbackKind::problem, FeedbackKind::idea, FeedbackKind::praise}) {
        if (rawValue(kind) == raw)
            return kind;
    }
    return std::nullopt;
}

QString subjectPhrase(FeedbackKind kind)
{
    switch (kind) {
    case FeedbackKind::problem: return u"Something didn't work"_s;
    case FeedbackKind::idea: return u"I have an idea"_s;
    case FeedbackKind::praise: return u"Something worked well"_s;
    }
    return {};
}
