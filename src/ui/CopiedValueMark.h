#pragma once

#include <QObject>
#include <QString>
#include <optional>

// Which support value the About window marks as just copied. The mark clears 1.4 s after a copy unless
// another copy has happened since, so an earlier timer never clears a later mark.
class CopiedValueMark : public QObject {
    Q_OBJECT
public:
    static constexpr int clearDelayMilliseconds = 1400;

    using QObject::QObject;

    const std::optional<QString>& copiedValue() const { return m_value; }
    bool isMarked(const QString& value) const { return m_value == value; }

    // Marks `value` and schedules its clearing; returns the copy's generation.
    quint64 mark(const QString& value);
    // Clears the mark if the copy of `generation` is still the latest; the scheduled timer calls this.
    void expire(quint64 generation);

Q_SIGNALS:
    void changed();

private:
    std::optional<QString> m_value;
    quint64 m_generation = 0;
};
