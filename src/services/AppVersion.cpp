#include "services/AppVersion.h"

using namespace Qt::StringLiterals;

AppVersion AppVersion::from(const BundleInfo& info)
{
    return {info.value(u"CFBundleShortVersionString"_s), info.value(u"CFBundleVersion"_s)};
}

AppVersion AppVersion::current()
{
    return from(BundleInfo::main());
}
