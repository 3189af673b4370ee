#pragma once

#include "state/AppLanguage.h"
#include "wifi/WiFiSnapshot.h"

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

enum class MainWindowTab { status, settings, formValues, about };

namespace MainWindowSizing {

inline constexpr double minimumWidth = 760;
inline constexpr double minimumHeight = 560;

// 980 wide; the status tab grows by one row per distinct open SSID (no snapshot counts as none).
QSizeF preferredContentSize(MainWindowTab tab, const WiFiSnapshot* snapshot);

// The frame the window moves to: no taller than the visible area minus 64, and kept 32 points inside it.
QRectF fittedFrame(const QRectF& wantedFrame, const QRectF& visibleFrame);

// Sub-point differences are left alone so the window does not jitter on every snapshot.
bool differsEnough(const QRectF& current, const QRectF& target);

// The language menu's labels: "System Default", "English", "Tiếng Việt".
QString languageLabel(AppLanguage language);

} // namespace MainWindowSizing
