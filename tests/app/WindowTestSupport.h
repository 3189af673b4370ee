#pragma once

#include "services/SoftwareUpdateService.h"
#include "testkit/AppStateFakes.h"
#include "ui/UiLanguage.h"
#include "ui/windows/QmlWindowHost.h"

#include <QDir>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>

// The update framework as the windows see it, switched by hand.
class FakeUpdaterFramework : public SoftwareUpdaterFramework {
public:
    bool checks = true;
    bool downloads = true;
    bool canCheck = true;
    int checksRequested = 0;

    bool automaticallyChecksForUpdates() const override { return checks; }
    void setAutomaticallyChecksForUpdates(bool enabled) override { checks = enabled; }
    bool automaticallyDownloadsUpdates() const override { return downloads; }
    void setAutomaticallyDownloadsUpdates(bool enabled) override { downloads = enabled; }
    bool canCheckForUpdates() const override { return canCheck; }
    void start() override {}
    void checkForUpdates() override { ++checksRequested; }
    void resetUpdateCycle() override {}
    void setCanCheck(bool value)
    {
        canCheck = value;
        Q_EMIT canCheckForUpdatesChanged();
    }
};

class AvailableFeed : public SoftwareUpdateFeedPreflighting {
public:
    QCoro::Task<SoftwareUpdateFeedPreflightResult> checkFeed() override { co_return SoftwareUpdateFeedPreflightResult::available(); }
};

// An application state over stand-ins with the update service and the window host the windows need.
struct WindowRig {
    QTemporaryDir dir;
    AppStateRig rig;
    std::unique_ptr<AppState> state;
    FakeUpdaterFramework* updater = nullptr;
    std::unique_ptr<SoftwareUpdateService> updates;
    std::unique_ptr<UiLanguage> language;
    std::unique_ptr<QmlWindowHost> host;

    // Builds the state; the rig's stand-ins can be seeded before.
    void build()
    {
        state = std::make_unique<AppState>(rig.collaborators(dir.filePath(QStringLiteral("defaults.ini"))));
        updates = makeUpdates();
        language = std::make_unique<UiLanguage>(rig.defaults);
        host = std::make_unique<QmlWindowHost>(*language);
    }

    std::unique_ptr<SoftwareUpdateService> makeUpdates()
    {
        return std::make_unique<SoftwareUpdateService>(std::make_unique<AvailableFeed>(), rig.defaults,
                                                       [this](SoftwareUpdaterDelegate&) {
                                                           auto framework = std::make_unique<FakeUpdaterFramework>();
                                                           updater = framework.get();
                                                           return framework;
                                                       });
    }
};

// The item of that object name anywhere in the window, or null.
inline QQuickItem* findItem(QQuickItem* root, const QString& name)
{
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    for (QQuickItem* child : root->childItems()) {
        if (QQuickItem* found = findItem(child, name))
            return found;
    }
    return nullptr;
}

inline QQuickItem* findItem(QQuickWindow* window, const QString& name)
{
    return window ? findItem(window->contentItem(), name) : nullptr;
}

// Every item of that name, in tree order (the rows of a list).
inline void findItems(QQuickItem* root, const QString& name, QList<QQuickItem*>& found)
{
    if (root->objectName() == name)
        found.append(root);
    for (QQuickItem* child : root->childItems())
        findItems(child, name, found);
}

inline QString textOf(QQuickWindow* window, const QString& name)
{
    QQuickItem* item = findItem(window, name);
    return item ? item->property("text").toString() : QStringLiteral("<no %1>").arg(name);
}

// Lets the window lay out and render, then writes its picture for review.
inline void screenshot(QQuickWindow* window, const QString& name)
{
    QCoreApplication::processEvents();
    const QString folder = qEnvironmentVariable("BREWBEACON_BINARY_DIR", QDir::tempPath()) + QStringLiteral("/test-artifacts/screenshots");
    QDir().mkpath(folder);
    window->grabWindow().save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
}
