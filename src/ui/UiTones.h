#pragma once

#include "readiness/WorkReadinessLevel.h"
#include "ui/DiagnosticStatus.h"
#include "ui/SettingsNotices.h"
#include "wifi/ConnectedWiFiTone.h"

#include <QString>

// The colours tones and levels are drawn in, as "#rrggbb" for QML. Muted is the secondary text colour.
namespace UiTones {

inline constexpr QLatin1StringView green{"#2e9d4f"};
inline constexpr QLatin1StringView orange{"#e08a00"};
inline constexpr QLatin1StringView red{"#d64541"};
inline constexpr QLatin1StringView blue{"#2f7de1"};
inline constexpr QLatin1StringView secondary{"#8a8a8e"};

QString color(ConnectedWiFiTone tone);
QString color(DiagnosticStatusTone tone);
QString color(StateNotice::Tone tone);
// good green, okay blue, poor orange, blocked red, checking secondary.
QString color(WorkReadinessLevel level);

} // namespace UiTones
