#pragma once

#include <QLocale>
#include <QString>

// The assistant window's own texts in English and Vietnamese, and a sentence a person understands for
// each reason the page script or the controller hands a portal over with.
namespace PortalAssistantTexts {

// English is the key; Vietnamese locales get the built-in translation (the key when it has none).
QString text(const QString& english, const QLocale& locale);

// The kind of reason: "captcha", "otp", "voucher", "payment", "credential", "social_login", "member",
// "engagement_gate", "unknown_required", "ambiguous_action", "unsupported", "waiting", "still_captive",
// "timeout", "other"; "none" without a reason.
QString reasonCategory(const QString& reason);

// The sentence shown for a reason, in the locale's language.
QString reasonSentence(const QString& reason, const QLocale& locale);

} // namespace PortalAssistantTexts
