#pragma once

// How a presentation colours the connection: the windows map states onto these four.
enum class ConnectedWiFiTone {
    active,
    warning,
    danger,
    muted,
};
