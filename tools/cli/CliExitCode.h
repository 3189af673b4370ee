#pragma once

// What brewbeacon-cli's exit status means, so scripts can branch without parsing text.
enum class CliExitCode : int {
    success = 0, // listed, read, online, or joined with internet
    failure = 1, // the join failed, or there is no internet
    usage = 2, // the command line could not be understood
    captivePortal = 3, // joined, but a portal page must be passed first
    refused = 4, // the network is not one BrewBeacon joins (password, enterprise, weak signal)
    notFound = 5, // no network of that name is in range
    wifiUnavailable = 6, // no Wi-Fi device, the radio is off, or the device is not managed
};

constexpr int toInt(CliExitCode code) { return static_cast<int>(code); }
