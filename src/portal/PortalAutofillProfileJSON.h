#pragma once

#include "portal/PortalAutofillProfile.h"

#include <QByteArray>
#include <QString>

// What reading a stored profile gave. Anything but `decoded` means the bytes are not a profile.
struct PortalAutofillProfileDecoding {
    enum class Kind { Decoded, NotJSON, NotAnObject, WrongFieldType };

    Kind kind = Kind::Decoded;
    PortalAutofillProfile profile; // only for Decoded
    QString field;                 // only for WrongFieldType: the key whose value is not a string

    static PortalAutofillProfileDecoding decoded(PortalAutofillProfile profile) { return {Kind::Decoded, std::move(profile), {}}; }
    static PortalAutofillProfileDecoding notJSON() { return {Kind::NotJSON, {}, {}}; }
    static PortalAutofillProfileDecoding notAnObject() { return {Kind::NotAnObject, {}, {}}; }
    static PortalAutofillProfileDecoding wrongFieldType(QString field) { return {Kind::WrongFieldType, {}, std::move(field)}; }

    bool operator==(const PortalAutofillProfileDecoding&) const = default;
};

// The stored form of the profile: one JSON object with the eleven field names as keys, string values.
namespace PortalAutofillProfileJSON {

// All eleven keys, always.
QByteArray encode(const PortalAutofillProfile& profile);

// Missing keys and nulls read as empty; a value of another type makes the whole object unreadable.
// Keys it does not know are ignored. The profile is returned as stored, not normalized.
PortalAutofillProfileDecoding decode(const QByteArray& bytes);

} // namespace PortalAutofillProfileJSON
