#include "ui/windows/UiSymbolLookup.h"

#include "ui/UiSymbols.h"

#include <QQmlEngine>

using namespace Qt::StringLiterals;

QString UiSymbolLookup::icon(const QString& symbol) const
{
    return u"qrc"_s + UiSymbols::iconPath(symbol);
}

void UiSymbolLookup::registerForQml()
{
    static UiSymbolLookup lookup;
    static const bool registered = [] {
        qmlRegisterSingletonInstance("BrewBeacon", 1, 0, "Symbols", &lookup);
        return true;
    }();
    Q_UNUSED(registered);
}
