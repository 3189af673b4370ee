#pragma once

#include <QSettings>
#include <QString>

// The "Anonymous Analytics" switch: on unless the user stored an explicit off.
class AppAnalyticsPreference {
public:
    static QString defaultsKey() { return QStringLiteral("anonymousAnalyticsEnabled"); }
    static bool isEnabled(const QSettings& defaults);
};

// The random installation identifier sent with every batch ("R.T").
class AppAnalyticsClientID {
public:
    static QString defaultsKey() { return QStringLiteral("anonymousAnalyticsInstallationId"); }
    // The stored identifier, or a new one (stored) when none or a malformed one is there.
    static QString value(QSettings& defaults);
    static QString make();
};
