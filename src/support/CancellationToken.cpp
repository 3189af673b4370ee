#include "support/CancellationToken.h"

CancellationToken::CancellationToken() : m_state(std::make_shared<State>()) {}

void CancellationToken::cancel()
{
    std::map<std::uint64_t, std::function<void()>> wakes;
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->cancelled.store(true);
        wakes.swap(m_state->wakes);
    }
    // Outside the lock: a woken wait forgets its wake-up and may start another.
    for (auto& [id, wake] : wakes)
        wake();
}

bool CancellationToken::isCancelled() const { return m_state->cancelled.load(); }

std::uint64_t CancellationToken::whenCancelled(std::function<void()> wake)
{
    const std::lock_guard lock(m_state->mutex);
    if (m_state->cancelled.load())
        return 0;
    const std::uint64_t id = ++m_state->lastId;
    m_state->wakes.emplace(id, std::move(wake));
    return id;
}

void CancellationToken::forget(std::uint64_t id)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->wakes.erase(id);
}
