#include "connectivity/NetworkPathStatus.h"

using namespace Qt::StringLiterals;

QString NetworkPathStatus::logValue() const
{
    switch (m_kind) {
    case Kind::Satisfied: {
        const auto flag = [](bool value) { return value ? u"true"_s : u"false"_s; };
        return u"satisfied(expensive: "_s + flag(isExpensive()) + u", constrained: "_s + flag(isConstrained()) +
               u")"_s;
    }
    case Kind::Unsatisfied:
        return u"unsatisfied"_s;
    case Kind::RequiresConnection:
        return u"requiresConnection"_s;
    }
    return u"unsatisfied"_s;
}
