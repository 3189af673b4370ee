#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// What one run of the page script did on a portal page.
struct PortalAutofillEvent {
    bool didRun = false;
    bool blocked = false;
    std::optional<QString> reason;
    qint64 filledFields = 0;
    qint64 checkedBoxes = 0;
    bool submitted = false;
    QStringList fieldCategories;

    static PortalAutofillEvent idle() { return {}; }
    // The host's stand-in for a run that threw, returned nothing or returned something undecodable.
    static PortalAutofillEvent unsupportedPortal();

    // Strict: every key but "reason" must be present with its JSON type; "reason" may be missing or null.
    static std::optional<PortalAutofillEvent> fromJSON(const QByteArray& json);
    QByteArray toJSON() const;
    // What the run came to, as analytics and the diagnostic tool name it: "submitted", "blocked",
    // "filled" or "no_match".
    QString outcomeName() const;

    bool operator==(const PortalAutofillEvent&) const = default;
};
