#include "state/LaunchAtLoginStatus.h"

QString caseName(LaunchAtLoginStatus status)
{
    switch (status) {
    case LaunchAtLoginStatus::enabled:
        return QStringLiteral("enabled");
    case LaunchAtLoginStatus::requiresApproval:
        return QStringLiteral("requiresApproval");
    case LaunchAtLoginStatus::notRegistered:
        return QStringLiteral("notRegistered");
    case LaunchAtLoginStatus::notFound:
        return QStringLiteral("notFound");
    case LaunchAtLoginStatus::unsupported:
        return QStringLiteral("unsupported");
    case LaunchAtLoginStatus::unknown:
        break;
    }
    return QStringLiteral("unknown");
}
