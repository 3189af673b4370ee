#include "portal/helper/PortalHelperFailure.h"

using namespace Qt::StringLiterals;

QString PortalHelperFailure::category() const
{
    switch (kind) {
    case Kind::unavailable:
        return u"engine_unavailable"_s;
    case Kind::crashed:
        return u"engine_crashed"_s;
    case Kind::exited:
        return u"engine_exited"_s;
    case Kind::hung:
        return u"engine_hung"_s;
    case Kind::protocol:
        return u"engine_protocol"_s;
    }
    return u"engine_crashed"_s;
}
