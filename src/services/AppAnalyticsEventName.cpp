#include "services/AppAnalyticsEventName.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {
constexpr std::array kRawValues = {
    u"app_launch",
    u"assistant_started",
    u"setting_changed",
    u"public_wifi_route_started",
    u"connection_state_changed",
    u"public_wifi_route_finished",
    u"public_wifi_route_success",
    u"public_wifi_route_captive_detected",
    u"portal_assistant_opened",
    u"portal_automation_started",
    u"portal_autofill_result",
    u"portal_verification_result",
    u"portal_manual_handoff",
    u"ui_action",
};
static_assert(kRawValues.size() == size_t(AppAnalyticsEventName::uiAction) + 1);
} // namespace

QString rawValue(AppAnalyticsEventName name)
{
    return QString::fromUtf16(kRawValues.at(size_t(name)));
}

std::optional<AppAnalyticsEventName> appAnalyticsEventName(QStringView raw)
{
    for (size_t index = 0; index < kRawValues.size(); ++index) {
        if (raw == QStringView(kRawValues[index]))
            return AppAnalyticsEventName(index);
    }
    return std::nullopt;
}

QList<AppAnalyticsEventName> allAppAnalyticsEventNames()
{
    QList<AppAnalyticsEventName> names;
    for (size_t index = 0; index < kRawValues.size(); ++index)
        names.append(AppAnalyticsEventName(index));
    return names;
}
