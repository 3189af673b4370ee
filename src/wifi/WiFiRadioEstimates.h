#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Radio values NetworkManager does not report, derived from what it does report. Each is an estimate
// and is used only where no measured value is available.
namespace WiFiRadioEstimates {
// NetworkManager turns a measured level into a 0–100 strength linearly between −100 dBm (0) and
// −40 dBm (100); this is the inverse, so −100…−40 dBm.
int rssiFromStrength(int strengthPercent);
// NetworkManager has no noise reading; a 20 MHz channel's typical receiver noise floor stands in.
constexpr int estimatedNoiseFloorDbm = -95;
// IEEE channel number of a centre frequency (2.4, 5 and 6 GHz bands); none for anything else.
std::optional<int> channelForFrequency(quint32 frequencyMHz);
// The 802.11 generation that an access point's band and highest rate imply.
QString phyModeFor(quint32 frequencyMHz, quint32 maxBitrateKbps);
} // namespace WiFiRadioEstimates
