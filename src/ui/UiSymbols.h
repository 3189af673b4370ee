#pragma once

#include <QString>
#include <QStringList>

// The presentations name their images by symbol ("wifi.circle.fill"); this is the one table from those
// names to the icons we ship in the resources.
namespace UiSymbols {

// A ":/brewbeacon/icons/..." path; names without an icon of their own get the plain circle.
QString iconPath(const QString& symbol);
// Every symbol the table knows, for checks that each has its icon.
QStringList knownSymbols();

// The tray icon.
inline constexpr QLatin1StringView appIconPath{":/brewbeacon/icons/coffee-cup.svg"};

} // namespace UiSymbols
