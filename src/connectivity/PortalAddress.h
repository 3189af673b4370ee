#pragma once

#include <QUrl>
#include <optional>

// Whether an address a network handed us may be shown, opened or loaded as a portal page: only http
// and https with a host. A gateway can answer anything (script, file, custom-scheme or host-less
// addresses), and none of that may reach the web view or the browser hand-off.
namespace PortalAddress {
bool isUsable(const QUrl& url);
// The address when usable, else none.
std::optional<QUrl> usable(const std::optional<QUrl>& url);
} // namespace PortalAddress
