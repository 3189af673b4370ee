#pragma once

#include "wifi/NetworkSecurity.h"

#include <QString>

// Turns a 0-100 quality into the word shown beside a network.
class QualityFormatter {
public:
    QualityFormatter() = delete;

    // "Excellent" 85-100, "Good" 65-84, "Fair" 40-64, "Weak" for everything else (out of range included).
    static QString label(int quality);
};

// The phrase that follows the quality label in a candidate's detail: " open signal", ", password required", ...
QString securityPhrase(NetworkSecurity security);

// A candidate's one-line detail: the label of `labelQuality` followed by the security phrase.
QString candidateDetail(int labelQuality, NetworkSecurity security);
