#pragma once

#include <QtGlobal>
#include <algorithm>

// How often a transiently failing join is tried, and the pause between tries. Defaults are the
// installed values: 3 attempts, 0.7 s apart.
struct WiFiRetryPolicy {
    int maxAttempts = 3;
    quint64 delayNanoseconds = 700'000'000;

    // A configured 0 or negative count still makes one attempt.
    int effectiveMaxAttempts() const { return std::max(1, maxAttempts); }

    bool operator==(const WiFiRetryPolicy&) const = default;
};
