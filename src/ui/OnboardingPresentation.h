#pragma once

#include "state/LocationAuthorizationStatus.h"

#include <QLocale>
#include <QString>

// The "Location Access" row and the "Continue" button of the setup window.
struct OnboardingPresentation {
    enum class Action { requestPermission, openSettings, none };

    bool needsAttention = false; // orange "exclamationmark.circle.fill" instead of the green checkmark
    QString rowSystemImage;
    QString detail;
    QString buttonTitle;
    QString buttonSystemImage;
    Action buttonAction = Action::none;
    bool isContinueEnabled = true;

    // `gateOn` is whether the app still requires the permission before it can work.
    static OnboardingPresentation make(LocationAuthorizationStatus status, bool gateOn,
                                       const QLocale& locale = QLocale(QLocale::English));

    bool operator==(const OnboardingPresentation&) const = default;
};
