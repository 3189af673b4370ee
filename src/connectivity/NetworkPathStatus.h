#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

// One reading of the system's network path: usable (with its cost flags), unusable, or usable once a
// connection is brought up. Equal when the case and, for `satisfied`, both flags are equal.
class NetworkPathStatus {
public:
    enum class Kind : quint8 { Satisfied, Unsatisfied, RequiresConnection };

    // Default-constructed is `unsatisfied`, the answer when nothing better is known.
    constexpr NetworkPathStatus() = default;

    static constexpr NetworkPathStatus satisfied(bool isExpensive, bool isConstrained)
    {
        return NetworkPathStatus(Kind::Satisfied, quint8((isExpensive ? ExpensiveBit : 0) |
                                                         (isConstrained ? ConstrainedBit : 0)));
    }
    static constexpr NetworkPathStatus unsatisfied() { return NetworkPathStatus(Kind::Unsatisfied, 0); }
    static constexpr NetworkPathStatus requiresConnection()
    {
        return NetworkPathStatus(Kind::RequiresConnection, 0);
    }

    constexpr Kind kind() const { return m_kind; }
    constexpr bool isSatisfied() const { return m_kind == Kind::Satisfied; }
    constexpr bool isExpensive() const { return (m_flags & ExpensiveBit) != 0; }
    constexpr bool isConstrained() const { return (m_flags & ConstrainedBit) != 0; }

    // "satisfied(expensive: true, constrained: false)", "unsatisfied" or "requiresConnection".
    QString logValue() const;

    constexpr bool operator==(const NetworkPathStatus&) const = default;

private:
    static constexpr quint8 ExpensiveBit = 1;
    static constexpr quint8 ConstrainedBit = 2;

    constexpr NetworkPathStatus(Kind kind, quint8 flags) : m_kind(kind), m_flags(flags) {}

    Kind m_kind = Kind::Unsatisfied;
    quint8 m_flags = 0; // only ever set for `satisfied`, so the defaulted equality is the case-wise one
};

static_assert(sizeof(NetworkPathStatus) == 2);

Q_DECLARE_METATYPE(NetworkPathStatus)
