#pragma once

#include <QQmlEngine>
#include <QVariantMap>

#include <memory>

class QQuickWindow;
class UiLanguage;

// The one QML engine all windows share. Its translator is the window language, so a change of
// language re-evaluates every window's fixed texts at once.
class QmlWindowHost : public QObject {
    Q_OBJECT

public:
    explicit QmlWindowHost(UiLanguage& language, QObject* parent = nullptr);
    ~QmlWindowHost() override;

    UiLanguage& language() const { return m_language; }

    // Builds the window of "qrc:/qt/qml/BrewBeacon/<name>.qml" (the BrewBeacon module) with its required properties; null (and
    // the QML errors logged) when the file does not load.
    QQuickWindow* create(const QString& name, const QVariantMap& properties);

private:
    UiLanguage& m_language;
    std::unique_ptr<QQmlEngine> m_engine;
};
