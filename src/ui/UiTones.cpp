#include "ui/UiTones.h"

namespace UiTones {

QString color(ConnectedWiFiTone tone)
{
    switch (tone) {
    case ConnectedWiFiTone::active:
        return green;
    case ConnectedWiFiTone::warning:
        return orange;
    case ConnectedWiFiTone::danger:
        return red;
    case ConnectedWiFiTone::muted:
        break;
    }
    return secondary;
}

QString color(DiagnosticStatusTone tone)
{
    switch (tone) {
    case DiagnosticStatusTone::active:
        return green;
    case DiagnosticStatusTone::warning:
        return orange;
    case DiagnosticStatusTone::danger:
        return red;
    case DiagnosticStatusTone::muted:
        break;
    }
    return secondary;
}

QString color(StateNotice::Tone tone)
{
    switch (tone) {
    case StateNotice::Tone::active:
        return green;
    case StateNotice::Tone::warning:
        return orange;
    case StateNotice::Tone::danger:
        return red;
    case StateNotice::Tone::muted:
        break;
    }
    return secondary;
}

QString color(WorkReadinessLevel level)
{
    switch (level) {
    case WorkReadinessLevel::good:
        return green;
    case WorkReadinessLevel::okay:
        return blue;
    case WorkReadinessLevel::poor:
        return orange;
    case WorkReadinessLevel::blocked:
        return red;
    case WorkReadinessLevel::checking:
        break;
    }
    return secondary;
}

} // namespace UiTones
