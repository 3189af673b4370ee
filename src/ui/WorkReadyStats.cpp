#include "ui/WorkReadyStats.h"

#include "ui/UiText.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace WorkReadyStats {

QString scoreText(const WorkReadinessAssessment& assessment, const QLocale& locale)
{
    if (assessment.score)
        return QString::number(*assessment.score) + u" / 100"_s;
    return uiText(assessment.level == WorkReadinessLevel::checking ? u"Checking"_s : u"Pending"_s, locale);
}

double scoreFraction(const WorkReadinessAssessment& assessment)
{
    // A score outside 0...100 must not draw more than one full turn.
    return std::clamp(assessment.score.value_or(0), 0, 100) / 100.0;
}

QString levelSymbol(WorkReadinessLevel level)
{
    switch (level) {
    case WorkReadinessLevel::good:
        return u"checkmark.seal.fill"_s;
    case WorkReadinessLevel::okay:
        return u"checkmark.circle.fill"_s;
    case WorkReadinessLevel::poor:
        return u"speedometer"_s;
    case WorkReadinessLevel::blocked:
        return u"xmark.octagon.fill"_s;
    case WorkReadinessLevel::checking:
        break;
    }
    return u"dot.radiowaves.left.and.right"_s;
}

QString nextStep(WorkReadinessLevel level, const QLocale& locale)
{
    switch (level) {
    case WorkReadinessLevel::good:
        return uiText(u"Keep Working"_s, locale);
    case WorkReadinessLevel::okay:
        return uiText(u"Use With Care"_s, locale);
    case WorkReadinessLevel::poor:
        return uiText(u"Find Better Cafe Wi-Fi"_s, locale);
    case WorkReadinessLevel::blocked:
        return uiText(u"Fix Access"_s, locale);
    case WorkReadinessLevel::checking:
        break;
    }
    return uiText(u"Wait For Check"_s, locale);
}

QStringList tokens(const QStringList& englishTokens, const QLocale& locale)
{
    QStringList shown;
    for (const auto& token : englishTokens)
        shown.append(uiText(token, locale));
    return shown;
}

bool showsWatchCard(const WorkReadinessAssessment& assessment)
{
    return !assessment.limitingFactors.isEmpty();
}

} // namespace WorkReadyStats
