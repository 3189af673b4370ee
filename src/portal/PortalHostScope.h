#pragma once

#include <QSet>
#include <QString>
#include <QUrl>

// How the browser reached a new main-frame address: a server redirect, a form post, the page's own
// script or refresh (a portal hopping to its login page), a link, or anything else (typed, history).
enum class PortalNavigationKind { redirect, formSubmission, pageScript, link, other };

// The hosts that belong to the portal during one attempt: the one the attempt started from and those
// the portal itself redirected through or posted to. Autofill runs only on their pages, never on a
// site the user followed a link to.
class PortalHostScope {
public:
    static constexpr qsizetype maxHosts = 16;

    explicit PortalHostScope(const QUrl& start = QUrl());

    void reset(const QUrl& start);
    bool allows(const QUrl& page) const;
    // A navigation from `from` to `to`: a redirect, a form post or a scripted hop made on one of the
    // portal's pages takes the target's host in; a link (what a visitor follows) or a history step does not.
    void noteNavigation(const QUrl& from, const QUrl& to, PortalNavigationKind kind);
    const QSet<QString>& hosts() const { return m_hosts; }

private:
    static QString hostKey(const QUrl& url);

    QSet<QString> m_hosts;
};
