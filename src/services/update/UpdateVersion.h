#pragma once

#include <QStringView>

// Orders version texts such as "12", "1.4.2" or "2.0b3": runs of digits compare as numbers (of any
// length), runs of letters as text, separators only split. A trailing letter run marks a pre-release,
// so "2.0b3" comes before "2.0" and "2.0" before "2.0.1". Returns <0, 0 or >0.
int compareUpdateVersions(QStringView left, QStringView right);
