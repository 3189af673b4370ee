#include "support/ApplicationIdentity.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace ApplicationIdentity {

void apply()
{
    QCoreApplication::setOrganizationName(u"BrewBeacon"_s);
    QCoreApplication::setApplicationName(u"BrewBeacon"_s);
    QCoreApplication::setOrganizationDomain(u"tolvek.com"_s);
}

QString desktopFileName() { return u"com.tolvek.brewbeacon"_s; }

} // namespace ApplicationIdentity
