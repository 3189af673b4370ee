#pragma once

#include <QString>
#include <QStringList>

// Plausibility tests for the visitor details a portal form may receive, and the page terms that mean a
// portal wants something only the user should decide.
namespace PortalAutofillSafety {

// Exactly one "@", something before it, a "." after it, and no space anywhere.
bool isLikelyEmail(const QString& text);
// Four characters parsing as a whole number (optional sign) from 1900 to `currentYear` inclusive.
bool isLikelyBirthYear(const QString& text, int currentYear);
// As above, up to the current year of the local calendar.
bool isLikelyBirthYear(const QString& text);
// A whole number from 1 to 12 ("01" counts).
bool isLikelyMonth(const QString& text);
// A whole number from 1 to 31.
bool isLikelyDay(const QString& text);

// The 69 lower-case blocker terms in search order; the first found in a page's text blocks the page.
const QStringList& blockerTerms();

} // namespace PortalAutofillSafety
