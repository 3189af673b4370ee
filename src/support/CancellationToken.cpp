#include "support/CancellationToken.h"

CancellationToken::CancellationToken() : m_cancelled(std::make_shared<std::atomic<bool>>(false)) {}

void CancellationToken::cancel() { m_cancelled->store(true); }

bool CancellationToken::isCancelled() const { return m_cancelled->load(); }
