// Bounded waits. Every wait has a deadline and none sleeps blindly: a thread with windows
// dispatches its messages while it waits; a wait on another thread or process polls.
#pragma once
#include <windows.h>

#include <functional>

namespace support {

// Dispatches this thread's queued messages (at most a bounded number) and returns.
void PumpPending();
// Dispatches this thread's queued messages, then more as they come, until done() holds or the
// time is up; waits for input between batches. Returns whether done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000);
// Dispatches whatever arrives for a while: lets queued input reach its window.
void PumpFor(DWORD milliseconds);

// For state that another thread or process changes: checks condition every intervalMs until it
// holds or timeoutMs has passed, then answers it once more.
template <class Condition>
bool PollUntil(Condition condition, DWORD timeoutMs, DWORD intervalMs = 5) {
    const DWORD start = GetTickCount();  // unsigned difference: safe across the counter's wrap
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        Sleep(intervalMs);
    }
}

}  // namespace support
