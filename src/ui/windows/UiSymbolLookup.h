#pragma once

#include <QObject>

// The symbol table as QML reaches it ("Symbols.icon(name)" in the BrewBeacon module), so the icons
// the QML names itself come from the same one table as those the view models give.
class UiSymbolLookup : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    Q_INVOKABLE QString icon(const QString& symbol) const;
    // Makes the one instance available to every QML file of the process.
    static void registerForQml();
};
