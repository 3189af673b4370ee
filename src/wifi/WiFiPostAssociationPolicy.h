#pragma once

#include <QtGlobal>
#include <algorithm>

// How often the network path is checked after a join, and the pause between checks. Defaults are
// the installed values: 4 checks, 1 s apart.
struct WiFiPostAssociationPolicy {
    int maxPathChecks = 4;
    quint64 delayNanoseconds = 1'000'000'000;

    // A configured 0 or negative count still makes one check.
    int effectiveMaxPathChecks() const { return std::max(1, maxPathChecks); }

    bool operator==(const WiFiPostAssociationPolicy&) const = default;
};
