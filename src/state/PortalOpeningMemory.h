#pragma once

#include <QString>
#include <QUrl>
#include <optional>

// Remembers the captive network and portal address the assistant was last opened for by itself, so
// consecutive checks of the same portal open it once; leaving the captive state re-arms it.
class PortalOpeningMemory {
public:
    // `network` is the captive network's name (or, without one, its state's title).
    static QString signature(const QString& network, const QUrl& portalURL);

    // True when this network and address differ from the last opening; it is then remembered.
    bool shouldOpen(const QString& network, const QUrl& portalURL);
    void forget() { m_lastOpenedPortalSignature.reset(); }

private:
    std::optional<QString> m_lastOpenedPortalSignature;
};
