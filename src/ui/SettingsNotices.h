#pragma once

#include "state/LaunchAtLoginStatus.h"
#include "state/LocationAuthorizationStatus.h"
#include "wifi/ConnectionState.h"

#include <QLocale>
#include <QString>
#include <optional>

struct PortalAutofillProfile;

// A notice card at the top of the settings or form-values view.
struct StateNotice {
    enum class Tone { active, warning, danger, muted };

    QString title;
    QString detail;
    QString systemImage;
    Tone tone = Tone::warning;
    bool isLoading = false;

    bool operator==(const StateNotice&) const = default;
};

namespace SettingsNotices {

// The settings notice by precedence: location, login item approval, joining, reading, update issue.
std::optional<StateNotice> settings(LocationAuthorizationStatus location, LaunchAtLoginStatus launchAtLogin,
                                    bool isConnecting, ConnectionState::Kind connectionState,
                                    const std::optional<QString>& updateStatusMessage, const QLocale& locale);

// Shown while the normalised profile could not auto-submit a simple portal.
std::optional<StateNotice> formValues(const PortalAutofillProfile& profile, const QLocale& locale);

} // namespace SettingsNotices
