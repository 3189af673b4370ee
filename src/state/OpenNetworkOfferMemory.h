#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Remembers which set of open networks was last offered to the user, so one set is offered once
// until it changes or the offer is cleared. The set is keyed by its names, order ignored.
class OpenNetworkOfferMemory {
public:
    // The names sorted ascending (locale-aware, ignoring case) and joined with "|".
    static QString signature(QStringList ssids);

    // True when this set differs from the one offered last; it is then remembered as offered.
    bool shouldOffer(const QStringList& ssids);
    void forget() { m_lastPresentedOpenNetworkSignature.reset(); }

private:
    std::optional<QString> m_lastPresentedOpenNetworkSignature;
};
