#include "ui/windows/QmlWindowHost.h"

#include "support/Logger.h"
#include "support/MemoryTrim.h"
#include "ui/UiLanguage.h"

#include <QCoreApplication>
#include <QQmlComponent>
#include <QQuickWindow>
#include <QTimer>
#include <QtQml/QQmlExtensionPlugin>

using namespace Qt::StringLiterals;

// The windows' QML module, linked in statically.
Q_IMPORT_QML_PLUGIN(BrewBeaconPlugin)

QmlWindowHost::QmlWindowHost(UiLanguage& language, QObject* parent)
    : QObject(parent), m_language(language)
{
    QCoreApplication::installTranslator(&m_language);
}

QmlWindowHost::~QmlWindowHost()
{
    QCoreApplication::removeTranslator(&m_language);
}

QQmlEngine& QmlWindowHost::engine()
{
    if (!m_engine) {
        m_engine = std::make_unique<QQmlEngine>();
        m_engine->addImportPath(u"qrc:/qt/qml"_s);
        QObject::connect(&m_language, &UiLanguage::changed, m_engine.get(), &QQmlEngine::retranslate);
    }
    return *m_engine;
}

QQuickWindow* QmlWindowHost::create(const QString& name, const QVariantMap& properties)
{
    QQmlComponent component(&engine(), QUrl(u"qrc:/qt/qml/BrewBeacon/"_s + name + u".qml"_s));
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
    // C++ owns the windows; the engine stays while any of them exists.
    QQmlEngine::setObjectOwnership(window, QQmlEngine::CppOwnership);
    ++m_liveWindows;
    QObject::connect(window, &QObject::destroyed, this, [this] {
        if (--m_liveWindows == 0)
            // Not from inside the window's destructor: its items and bindings still go after this signal.
            QTimer::singleShot(0, this, &QmlWindowHost::releaseEngineIfUnused);
    });
    return window;
}

void QmlWindowHost::releaseEngineIfUnused()
{
    if (m_liveWindows > 0 || !m_engine)
        return;
    m_engine.reset();
    // The engine's and the scene graph's code is not run again until the next window. Before the heap
    // is trimmed: reading the mappings leaves heap pages of its own behind.
    const long released = releaseCleanFilePages();
    returnFreedMemory();
    Logger(u"Windows"_s).debug("Engine released; %{public}ld kB of clean file pages let go", qint64(released));
}
