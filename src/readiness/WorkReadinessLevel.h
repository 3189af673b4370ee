#pragma once

// The overall verdict on the current connection, best first; `checking` while a check is running.
enum class WorkReadinessLevel { good, okay, poor, blocked, checking };
