#include "portal/PortalDialogPolicy.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

bool PortalDialogPolicy::asksToAcceptTerms(const QString& message)
{
    static const QRegularExpression terms(
        u"(terms|conditions|acceptable\\s*use|usage policy|wi-?fi policy|điều\\s*khoản|dieu\\s*khoan|quy\\s*định|quy\\s*dinh)"_s,
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression agreement(
        u"(agree|accept|đồng\\s*ý|dong\\s*y|chấp\\s*nhận|chap\\s*nhan)"_s, QRegularExpression::CaseInsensitiveOption);
    // Anything that could cost money, share data or sign the visitor up is never agreed to unseen.
    static const QRegularExpression risky(
        u"(pay|purchase|buy|charge|price|subscribe|newsletter|marketing|share|install|download|password|"
        "thanh\\s*toán|thanh\\s*toan|mua|đăng\\s*ký|dang\\s*ky|tải|tai\\s*ve)"_s,
        QRegularExpression::CaseInsensitiveOption);
    const QString text = message.normalized(QString::NormalizationForm_C).left(2000);
    return terms.match(text).hasMatch() && agreement.match(text).hasMatch() && !risky.match(text).hasMatch();
}

PortalDialogPolicy::Answer PortalDialogPolicy::answer(Kind kind, const QString& message, bool hidden)
{
    if (!hidden)
        return {true, false};
    switch (kind) {
    case Kind::alert:
        return {false, true};
    case Kind::confirm:
        return {false, asksToAcceptTerms(message)};
    case Kind::prompt:
        return {false, false};
    }
    return {false, false};
}

QString PortalDialogPolicy::kindName(Kind kind)
{
    switch (kind) {
    case Kind::alert:
        return u"alert"_s;
    case Kind::confirm:
        return u"confirm"_s;
    case Kind::prompt:
        return u"prompt"_s;
    }
    return u"alert"_s;
}
