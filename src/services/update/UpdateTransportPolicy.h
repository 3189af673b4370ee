#pragma once

#include <QUrl>

// Which URLs the updater may fetch from. A gateway on a cafe network can rewrite any plain-http answer,
// so only https is used unless the build allows http (for a local test service).
struct UpdateTransportPolicy {
    bool allowsHTTP = buildAllowsHTTP();

    static bool buildAllowsHTTP();
    bool permits(const QUrl& url) const;
};
