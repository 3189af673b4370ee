#pragma once

#include "connectivity/NetworkPathStatus.h"

#include <QObject>

// One source of path readings for one call of the path service. It reports readings through
// pathUpdated (from any thread) once started, and stops reporting once cancelled.
class NetworkPathMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void start() = 0;
    virtual void cancel() = 0;

Q_SIGNALS:
    void pathUpdated(NetworkPathStatus status);
};
