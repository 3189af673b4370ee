#pragma once

#include <QString>
#include <QUrl>
#include <optional>

// What the captive-portal probe concluded. `detected` always carries the portal URL, `suspected` may.
class PortalState {
public:
    enum class Kind { detected, suspected, unknown, online, unavailable };

    // Nothing has been probed yet.
    PortalState() = default;

    static PortalState detected(QUrl url) { return {Kind::detected, std::move(url)}; }
    static PortalState suspected(std::optional<QUrl> url) { return {Kind::suspected, std::move(url)}; }
    static PortalState unknown() { return {Kind::unknown, std::nullopt}; }
    static PortalState online() { return {Kind::online, std::nullopt}; }
    static PortalState unavailable() { return {Kind::unavailable, std::nullopt}; }

    Kind kind() const { return m_kind; }
    bool isCaptive() const { return m_kind == Kind::detected || m_kind == Kind::suspected; }
    // The URL of `detected` and `suspected`; none otherwise.
    const std::optional<QUrl>& portalURL() const { return m_url; }

    // For diagnostic log lines: "detected(<url>)", "suspected(<url>)", "suspected(no-url)", "unknown", ...
    QString logValue() const;
    // For analytics events and feedback diagnostics: the case name alone.
    QString analyticsValue() const;

    bool operator==(const PortalState&) const = default;

private:
    PortalState(Kind kind, std::optional<QUrl> url) : m_kind(kind), m_url(std::move(url)) {}

    Kind m_kind = Kind::unknown;
    std::optional<QUrl> m_url;
};
