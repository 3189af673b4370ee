#pragma once

#include "state/AppLocalizedText.h"

#include <QLocale>
#include <QString>

// Every fixed text a window shows goes through here, and so do the application's own failure messages;
// a name, or a message from the system or a server, has no translation and shows as written.
inline QString uiText(const QString& englishKey, const QLocale& locale)
{
    return AppLocalizedText::localized(englishKey, locale);
}
