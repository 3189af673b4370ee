#pragma once

#include <QString>

// Why the portal helper process can no longer be used.
struct PortalHelperFailure {
    enum class Kind {
        unavailable, // it could not be started
        crashed,     // it died by a signal
        exited,      // it ended, or closed its end, without being asked
        hung,        // it said nothing within the silence bound
        protocol,    // it sent something the protocol does not allow
    };

    Kind kind = Kind::crashed;
    QString detail;

    // The hand-off category of analytics: "engine_unavailable", "engine_crashed", "engine_exited",
    // "engine_hung" or "engine_protocol".
    QString category() const;
};
