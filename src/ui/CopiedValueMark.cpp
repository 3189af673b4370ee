#include "ui/CopiedValueMark.h"

#include <QTimer>

quint64 CopiedValueMark::mark(const QString& value)
{
    const quint64 generation = ++m_generation;
    m_value = value;
    Q_EMIT changed();
    QTimer::singleShot(clearDelayMilliseconds, this, [this, generation] { expire(generation); });
    return generation;
}

void CopiedValueMark::expire(quint64 generation)
{
    if (generation != m_generation || !m_value)
        return;
    m_value.reset();
    Q_EMIT changed();
}
