#include "ui/qml/UiSymbolLookup.h"

#include "ui/UiSymbols.h"

using namespace Qt::StringLiterals;

QString UiSymbolLookup::icon(const QString& symbol) const
{
    return u"qrc"_s + UiSymbols::iconPath(symbol);
}
