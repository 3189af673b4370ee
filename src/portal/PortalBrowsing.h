#pragma once

#include "portal/PortalHostScope.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

// The browser engine as the portal web view needs it. Main thread only.
class PortalBrowsing : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Loads the address ignoring local and remote cache data, giving up after 20 s.
    virtual void load(const QUrl& url) = 0;
    virtual bool isLoading() const = 0;
    // The page's current address; empty when there is none.
    virtual QUrl url() const = 0;
    // Evaluates a script in the main frame. The completion gets the result when it is a string and
    // nothing on a script error or any other result; it runs on the main thread, possibly never when
    // the browser goes away first.
    virtual void evaluate(const QString& script, std::function<void(std::optional<QString>)> completion) = 0;

Q_SIGNALS:
    // The main frame finished loading a page (not for failed loads).
    void loadFinished();
    // A main-frame request is going out: a new navigation from `from`, or a redirect of the one from it.
    void navigationRequested(const QUrl& from, const QUrl& to, PortalNavigationKind kind);
};
