#pragma once

#include "readiness/WorkReadinessAssessment.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// The cards of the Work-Ready section, all built from one assessment.
namespace WorkReadyStats {

// "72 / 100"; without a score "Checking" while checking, else "Pending".
QString scoreText(const WorkReadinessAssessment& assessment, const QLocale& locale);
// The fraction of the ring's circle the arc covers, 0...1.
double scoreFraction(const WorkReadinessAssessment& assessment);
// The level's symbol, shown on the score card outside `checking` and on the "Readiness" card.
QString levelSymbol(WorkReadinessLevel level);
// The "Next Step" card's value.
QString nextStep(WorkReadinessLevel level, const QLocale& locale);
// Token cards: the tokens localized; the card shows its empty value when the list is empty.
QStringList tokens(const QStringList& englishTokens, const QLocale& locale);
// Whether the "Watch" card appears at all.
bool showsWatchCard(const WorkReadinessAssessment& assessment);

} // namespace WorkReadyStats
