#include "services/AppAnalyticsPreference.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>

bool AppAnalyticsPreference::isEnabled(const QSettings& defaults)
{
    const QVariant stored = defaults.value(defaultsKey());
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    // The settings file keeps booleans as text; only an exact boolean spelling counts.
    if (stored.typeId() == QMetaType::QString) {
        const QString text = stored.toString();
        if (text == u"false")
            return false;
    }
    return true;
}

QString AppAnalyticsClientID::value(QSettings& defaults)
{
    static const QRegularExpression shape(QStringLiteral("^\\d+\\.\\d+$"));
    const QVariant stored = defaults.value(defaultsKey());
    if (stored.typeId() == QMetaType::QString && shape.match(stored.toString()).hasMatch())
        return stored.toString();
    const QString made = make();
    defaults.setValue(defaultsKey(), made);
    return made;
}

QString AppAnalyticsClientID::make()
{
    const qint64 random = QRandomGenerator::global()->bounded(qint64(100000000), qint64(2147483647) + 1);
    const qint64 seconds = std::max<qint64>(1, QDateTime::currentSecsSinceEpoch());
    return QString::number(random) + u'.' + QString::number(seconds);
}
