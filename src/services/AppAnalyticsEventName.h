#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// The closed set of usage events; each case's raw value is its name on the wire.
enum class AppAnalyticsEventName : quint8 {
    appLaunch,
    assistantStarted,
    settingChanged,
    publicWiFiRouteStarted,
    connectionStateChanged,
    publicWiFiRouteFinished,
    publicWiFiRouteSuccess,
    publicWiFiRouteCaptiveDetected,
    portalAssistantOpened,
    portalAutomationStarted,
    portalAutofillResult,
    portalVerificationResult,
    portalManualHandoff,
    uiAction,
};

// "app_launch", "assistant_started", ...
QString rawValue(AppAnalyticsEventName name);
// The case whose raw value is `raw`; none for any other text.
std::optional<AppAnalyticsEventName> appAnalyticsEventName(QStringView raw);
// Every case in declaration order.
QList<AppAnalyticsEventName> allAppAnalyticsEventNames();
