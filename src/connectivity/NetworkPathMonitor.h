#pragma once

#include "connectivity/NetworkPathStatus.h"

#include <QObject>

#include <optional>

// One source of path readings for one call of the path service. It reports readings through
// pathUpdated (from any thread) once started, and stops reporting once cancelled.
class NetworkPathMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void start() = 0;
    virtual void cancel() = 0;
    // The reading when it is already known without waiting (a loaded copy of the system's state):
    // the service then needs no time-out and no queued answer. None by default.
    virtual std::optional<NetworkPathStatus> knownStatus() const { return std::nullopt; }

Q_SIGNALS:
    void pathUpdated(NetworkPathStatus status);
};
