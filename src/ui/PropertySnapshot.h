#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QVariantList>

// The values of every property a view model declares itself (not QObject's), in declaration order.
// A view model recomputes on every state notification, several a second while the assistant runs;
// comparing before and after lets it notify only when something a window shows really changed, so an
// idle window neither re-evaluates its bindings nor rebuilds its rows nor redraws.
inline QVariantList propertySnapshot(const QObject& object)
{
    const QMetaObject* meta = object.metaObject();
    QVariantList values;
    values.reserve(meta->propertyCount() - QObject::staticMetaObject.propertyCount());
    for (int index = QObject::staticMetaObject.propertyCount(); index < meta->propertyCount(); ++index)
        values.append(meta->property(index).read(&object));
    return values;
}
