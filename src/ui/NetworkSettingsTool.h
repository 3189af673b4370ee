#pragma once

#include "state/SettingsPageOpener.h"
#include "ui/UiText.h"

#include <functional>

// Whether the desktop has a program for its network settings; asked before a button sends the user
// there, so a missing one is said instead of nothing happening.
using NetworkSettingsFinder = std::function<bool()>;

inline NetworkSettingsFinder installedNetworkSettings()
{
    return [] { return SettingsPageOpener().networkSettingsCommand().has_value(); };
}

inline QString missingNetworkSettingsText(const QLocale& locale)
{
    return uiText(QStringLiteral("No network settings program was found. Install your desktop's settings or "
                                 "nm-connection-editor."),
                  locale);
}
