#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

// The symbol table as QML reaches it ("Symbols.icon(name)" in the BrewBeacon module), so the icons
// the QML names itself come from the same one table as those the view models give. One per engine.
class UiSymbolLookup : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Symbols)
    QML_SINGLETON

public:
    explicit UiSymbolLookup(QObject* parent = nullptr) : QObject(parent) {}

    Q_INVOKABLE QString icon(const QString& symbol) const;
};
