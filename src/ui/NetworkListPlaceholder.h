#pragma once

#include "wifi/WiFiSnapshot.h"

#include <QLocale>
#include <QString>

// What the connection section shows in place of an empty network list: a loading card while the
// snapshot is read, otherwise an empty card with the "Report this problem" link.
struct NetworkListPlaceholder {
    bool isLoading = false;
    QString title;
    QString detail;

    static NetworkListPlaceholder make(const WiFiSnapshot& snapshot, bool isReading, bool isConnecting,
                                       bool isLocationNeeded, const QLocale& locale);

    bool operator==(const NetworkListPlaceholder&) const = default;
};
