#pragma once

#include <QCoroTask>
#include <optional>

// Reads whether the Wi-Fi radio is powered.
class WiFiPowerControlling {
public:
    virtual ~WiFiPowerControlling() = default;

    // The default interface's power state; none when there is no Wi-Fi interface or the state could
    // not be read (a failed reading is never reported as "off").
    virtual QCoro::Task<std::optional<bool>> currentPowerState() = 0;
};
