#pragma once

#include "state/LaunchAtLoginStatus.h"

#include <QString>
#include <optional>

// Why a launch-at-login change did not happen; message is the system's text.
struct LaunchAtLoginError {
    enum class Kind { registerFailed, unregisterFailed };
    Kind kind = Kind::registerFailed;
    QString message;

    static LaunchAtLoginError registerFailed(QString message) { return {Kind::registerFailed, std::move(message)}; }
    static LaunchAtLoginError unregisterFailed(QString message) { return {Kind::unregisterFailed, std::move(message)}; }
    bool operator==(const LaunchAtLoginError&) const = default;
};

class LaunchAtLoginControlling {
public:
    virtual ~LaunchAtLoginControlling() = default;
    virtual LaunchAtLoginStatus status() const = 0;
    // No value on success; the error when the change failed (the caller re-reads status either way).
    virtual std::optional<LaunchAtLoginError> setEnabled(bool enabled) = 0;
    virtual void openSystemSettings() = 0;
};
