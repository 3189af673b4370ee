#include "ui/UiSymbols.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace UiSymbols {

namespace {

const QHash<QString, QString>& table()
{
    static const QHash<QString, QString> icons{
        {u"wifi"_s, u"wifi"_s},
        {u"wifi.slash"_s, u"wifi-slash"_s},
        {u"wifi.circle.fill"_s, u"wifi-circle"_s},
        {u"wifi.exclamationmark"_s, u"wifi-exclamation"_s},
        {u"checkmark"_s, u"checkmark"_s},
        {u"checkmark.circle.fill"_s, u"checkmark-circle"_s},
        {u"checkmark.seal.fill"_s, u"checkmark-seal"_s},
        {u"safari"_s, u"compass"_s},
        {u"safari.fill"_s, u"compass-fill"_s},
        {u"exclamationmark.triangle.fill"_s, u"warning-triangle"_s},
        {u"exclamationmark.circle.fill"_s, u"exclamation-circle"_s},
        {u"questionmark.circle.fill"_s, u"question-circle"_s},
        {u"lock.fill"_s, u"lock"_s},
        {u"hand.raised.fill"_s, u"hand"_s},
        {u"laptopcomputer.and.checkmark"_s, u"laptop-check"_s},
        {u"arrow.turn.down.right"_s, u"arrow-turn"_s},
        {u"speedometer"_s, u"speedometer"_s},
        {u"xmark.octagon.fill"_s, u"xmark-octagon"_s},
        {u"dot.radiowaves.left.and.right"_s, u"radiowaves"_s},
        {u"chart.bar.xaxis"_s, u"chart-bars"_s},
        {u"location.fill"_s, u"location"_s},
        {u"location.circle.fill"_s, u"location"_s},
        {u"gear.circle.fill"_s, u"gear"_s},
        {u"antenna.radiowaves.left.and.right.circle.fill"_s, u"radiowaves"_s},
        {u"gearshape"_s, u"gear"_s},
        {u"gear"_s, u"gear"_s},
        {u"text.badge.checkmark"_s, u"text-check"_s},
        {u"info.circle"_s, u"info"_s},
        {u"globe"_s, u"globe"_s},
        {u"chevron.up.chevron.down"_s, u"chevron-updown"_s},
        {u"power"_s, u"power"_s},
        {u"arrow.triangle.2.circlepath"_s, u"arrows-cycle"_s},
        {u"arrow.down.circle"_s, u"arrow-down-circle"_s},
        {u"chart.bar"_s, u"chart-simple"_s},
        {u"location"_s, u"location"_s},
        {u"bubble.left.and.bubble.right"_s, u"bubbles"_s},
        {u"bubble.left.and.bubble.right.fill"_s, u"bubbles"_s},
        {u"exclamationmark.bubble"_s, u"bubble-exclamation"_s},
        {u"lightbulb"_s, u"lightbulb"_s},
        {u"heart"_s, u"heart"_s},
        {u"photo.on.rectangle.angled"_s, u"photos"_s},
        {u"xmark.circle.fill"_s, u"xmark-circle"_s},
        {u"checkmark.shield"_s, u"checkmark-shield"_s},
        {u"chevron.right"_s, u"chevron-right"_s},
        {u"doc.on.doc"_s, u"copy"_s},
        {u"arrow.clockwise"_s, u"arrow-clockwise"_s},
        {u"checkmark.circle"_s, u"checkmark-circle-outline"_s},
        {u"exclamationmark.triangle"_s, u"exclamation-triangle-outline"_s},
        {u"cup.and.saucer.fill"_s, u"coffee-cup"_s},
    };
    return icons;
}

} // namespace

QString iconPath(const QString& symbol)
{
    return u":/brewbeacon/icons/"_s + table().value(symbol, u"symbol"_s) + u".svg"_s;
}

QStringList knownSymbols()
{
    return table().keys();
}

} // namespace UiSymbols
