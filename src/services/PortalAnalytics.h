#pragma once

#include <QString>
#include <optional>

// Coarse analytics categories for portal automation.
struct PortalAnalytics {
    // The category of a blocker reason: "captcha", "otp", ..., "other" for any other text, "none"
    // for no reason. Terms are matched as lower-case substrings, first row wins.
    static QString blockerCategory(const std::optional<QString>& reason);
};
