#pragma once

#include <QByteArray>
#include <QString>

// Network names are raw bytes over the air. Valid UTF-8 is shown exactly as it is (blanks and all);
// any byte that is not part of a valid UTF-8 sequence is shown as "\xNN", so two different names never
// collapse into one and nothing unprintable reaches the user or the log.
namespace WiFiSSIDText {
QString decode(const QByteArray& ssid);
}
