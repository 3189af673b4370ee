#pragma once

#include <QString>
#include <QStringList>

// The portal steps already pressed during one attempt, each as the page script names it (the page's
// origin, its form and the button's label). Kept by the host, not the page: a portal that serves its
// form again after every post would otherwise be pressed on every reload.
class PortalPressMemory {
public:
    // A key arrives from a page: bounded so a hostile page cannot grow the next script without limit.
    static constexpr qsizetype maxKeyLength = 600;
    static constexpr qsizetype maxKeys = 32;

    // False (and nothing kept) for an empty, oversized key or once the memory is full.
    bool remember(const QString& stepKey);
    bool contains(const QString& stepKey) const { return m_keys.contains(stepKey); }
    const QStringList& keys() const { return m_keys; }
    void clear() { m_keys.clear(); }

private:
    QStringList m_keys;
};
