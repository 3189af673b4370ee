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
    // One lookup per engine, owned by it.
    static const bool registered = [] {
        qmlRegisterSingletonType<UiSymbolLookup>("BrewBeacon", 1, 0, "Symbols",
                                                 [](QQmlEngine*, QJSEngine*) -> QObject* { return new UiSymbolLookup; });
        return true;
    }();
    Q_UNUSED(registered);
}
