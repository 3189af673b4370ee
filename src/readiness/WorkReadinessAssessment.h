#pragma once

#include "connectivity/NetworkPathStatus.h"
#include "readiness/WorkReadinessLevel.h"

#include <QString>
#include <QStringList>
#include <optional>

struct WiFiSnapshot;

// Whether the current Wi-Fi is good enough to work on: a level, a score, and the texts of the
// Work-Ready card. The texts are English keys; the window localizes them when it shows them.
struct WorkReadinessAssessment {
    WorkReadinessLevel level = WorkReadinessLevel::checking;
    std::optional<int> score; // absent when there is nothing measurable yet
    QString title;
    QString detail;
    QString recommendation;
    QStringList capabilities; // what the connection supports, or what is being verified
    QStringList limitingFactors; // what lowered the verdict, in the order found

    // Pure: reads only its arguments, so the window can recompute it on every redraw. An absent path
    // status means no reading has been taken yet.
    static WorkReadinessAssessment make(const WiFiSnapshot& snapshot, const std::optional<NetworkPathStatus>& pathStatus,
                                        bool isChecking);

    bool operator==(const WorkReadinessAssessment&) const = default;
};
