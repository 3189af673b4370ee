#include "ui/windows/QmlWindowHost.h"

#include "support/Logger.h"
#include "ui/UiLanguage.h"

#include <QCoreApplication>
#include <QQmlComponent>
#include <QQuickWindow>
#include <QtQml/QQmlExtensionPlugin>

using namespace Qt::StringLiterals;

// The windows' QML module, linked in statically.
Q_IMPORT_QML_PLUGIN(BrewBeaconPlugin)

QmlWindowHost::QmlWindowHost(UiLanguage& language, QObject* parent)
    : QObject(parent), m_language(language)
{
    m_engine = std::make_unique<QQmlEngine>();
    m_engine->addImportPath(u"qrc:/qt/qml"_s);
    QCoreApplication::installTranslator(&m_language);
    QObject::connect(&m_language, &UiLanguage::changed, m_engine.get(), &QQmlEngine::retranslate);
}

QmlWindowHost::~QmlWindowHost()
{
    QCoreApplication::removeTranslator(&m_language);
}

QQuickWindow* QmlWindowHost::create(const QString& name, const QVariantMap& properties)
{
    QQmlComponent component(m_engine.get(), QUrl(u"qrc:/qt/qml/BrewBeacon/"_s + name + u".qml"_s));
    if (!component.isReady()) {
        Logger(u"Windows"_s).error("Window %{public}s did not load: %{public}s", name, component.errorString());
        return nullptr;
    }
    std::unique_ptr<QObject> object(component.createWithInitialProperties(properties));
    auto* window = qobject_cast<QQuickWindow*>(object.get());
    if (!window) {
        Logger(u"Windows"_s).error("Window %{public}s did not load: %{public}s", name, component.errorString());
        return nullptr;
    }
    object.release();
    // C++ owns the windows; the controllers keep them for the next show.
    QQmlEngine::setObjectOwnership(window, QQmlEngine::CppOwnership);
    return window;
}
