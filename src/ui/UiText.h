#pragma once

#include "state/AppLocalizedText.h"

#include <QLocale>
#include <QString>

// Every fixed text a window shows goes through here; names and failure messages from the system don't.
inline QString uiText(const QString& englishKey, const QLocale& locale)
{
    return AppLocalizedText::localized(englishKey, locale);
}
