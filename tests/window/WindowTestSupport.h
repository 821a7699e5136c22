// Shared pieces of the window layer's tests: the runtime start, the message recorder installed
// as the user callback, bounded pumps through the layer's own event loop, and real key and mouse
// input (from tests/support). Every wait is bounded by a deadline; nothing sleeps blindly.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/MessageSequence.h"
#include "window/Event.h"
#include "window/Window.h"

namespace windowtest {

// One message as the user callback saw it; code holds the event code pending at that moment.
using RecordedMessage = support::RecordedMessage;

// The user callback of the tests: records every message, answers the ones given in results with
// their value, and runs the action given for a message before answering.
struct Recorder : support::MessageRecorder {
    std::vector<std::pair<UINT, LRESULT>> results;
    std::vector<std::pair<UINT, std::function<void()>>> actions;

    // The recorded message numbers that appear in wanted, in order of arrival.
    std::vector<UINT> Filtered(const std::vector<UINT>& wanted, HWND window = nullptr) const;
};

extern Recorder recorder;
LRESULT CALLBACK RecorderCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens, records and closes: each test starts with no layer window and an empty recorder.
class LayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Message numbers by name, for failure messages.
std::string MessageListText(const std::vector<UINT>& messages);
// The message numbers alone must agree; expected and actual side by side on failure (a thin
// wrapper over support::MessageSequenceMatch, which also compares parameters).
void ExpectMessages(const std::vector<UINT>& expected, const std::vector<UINT>& actual);

// Runs EventPoll until done(last result) holds or the deadline passes; waits for input between
// empty polls. Returns whether done held.
bool PumpUntil(const std::function<bool(int32_t)>& done, DWORD milliseconds = 3000);
// Polls until the queue is empty (a bounded number of times). Returns the events seen.
std::vector<int32_t> Drain();
// Activates and foregrounds window and pumps until the platform reports it active.
bool WindowActivate(HWND window);

// Real key input (through tests/support): the modifiers go down in order, the key is pressed and
// released, the modifiers come up in reverse order. Then pumps through EventPoll until the last
// key-up has been retrieved. Returns the events that the pump saw.
std::vector<int32_t> KeysPress(const std::vector<WORD>& modifiers, WORD key);
void KeySend(WORD key, bool up);
// Moves the pointer with an absolute mouse event and waits (bounded) until it is there.
void MouseMove(int x, int y);
void MouseClick(int x, int y);

// Runs action inside a message that EventWait retrieves, as a notification arrives in the real
// loop: the event type is -1 when action starts. Returns EventWait's result.
int32_t EventDuring(HWND window, const std::function<void()>& action);

}  // namespace windowtest
