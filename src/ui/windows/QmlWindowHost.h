#pragma once

#include <QQmlEngine>
#include <QVariantMap>

#include <memory>

class QQuickWindow;
class UiLanguage;

// The one QML engine all windows share, made with the first window and let go once the last one is
// gone: a tray app spends most of its life with no window, and the engine's compiled components and
// script heap are most of what a window leaves behind. Its translator is the window language, so a
// change of language re-evaluates every window's fixed texts at once.
class QmlWindowHost : public QObject {
    Q_OBJECT

public:
    explicit QmlWindowHost(UiLanguage& language, QObject* parent = nullptr);
    ~QmlWindowHost() override;

    UiLanguage& language() const { return m_language; }

    // Builds the window of "qrc:/qt/qml/BrewBeacon/<name>.qml" (the BrewBeacon module) with its required properties; null (and
    // the QML errors logged) when the file does not load. The caller owns the window.
    QQuickWindow* create(const QString& name, const QVariantMap& properties);

    bool hasEngine() const { return m_engine != nullptr; }

private:
    QQmlEngine& engine();
    void releaseEngineIfUnused();

    UiLanguage& m_language;
    std::unique_ptr<QQmlEngine> m_engine;
    int m_liveWindows = 0;
};
