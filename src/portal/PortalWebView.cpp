#include "portal/PortalWebView.h"

using namespace Qt::StringLiterals;

QString PortalWebView::signature(const QUrl& pageURL) const
{
    const PortalAutofillProfile normalized = profile.normalized();
    return QStringList{pageURL.isEmpty() ? QString() : pageURL.toString(), normalized.fullName, normalized.birthYear,
                       autoSubmitEnabled ? u"true"_s : u"false"_s}
        .join(u'|');
}

PortalFollowUpSchedule PortalFollowUpSchedule::pageLoad()
{
    return {u"page-load"_s, {0.7, 1.8, 3.2, 5.0, 7.0}};
}

PortalFollowUpSchedule PortalFollowUpSchedule::afterSubmit()
{
    return {u"after-submit"_s, {1.2, 2.5, 4.0, 6.5, 9.0}};
}
