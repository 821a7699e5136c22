// Message-order checks: a recorder appends what a window (or a callback) sees, a test lists what it
// expects with flags for which fields matter and which entries may be missing, and one check
// compares the two and, on failure, prints them side by side with message names.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

namespace support {

// One message as a recorder saw it. What window, wParam and code hold is the recording place's
// to say (a parent records the notifying control and its identifier, for instance).
struct RecordedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    intptr_t code;  // a value the recording place adds: a notification code, a pending event
};

class MessageRecorder {
public:
    std::vector<RecordedMessage> messages;

    void Add(HWND window, UINT message, WPARAM wParam, LPARAM lParam, intptr_t code = 0) {
        messages.push_back({window, message, wParam, lParam, code});
    }
    void Clear() { messages.clear(); }
    // The recorded messages that appear in wanted (of window, when given), in order of arrival.
    std::vector<RecordedMessage> Only(const std::vector<UINT>& wanted, HWND window = nullptr) const;
    bool Contains(UINT message) const;
};

// Which fields of an expected entry matter besides the message number.
enum MessageFlags : unsigned {
    MESSAGE_WPARAM = 0x1,
    MESSAGE_LPARAM = 0x2,
    MESSAGE_CODE = 0x4,
    MESSAGE_WINDOW = 0x8,
    MESSAGE_OPTIONAL = 0x10,  // the entry may be missing from the actual sequence
};

struct ExpectedMessage {
    UINT message;
    unsigned flags;
    WPARAM wParam;
    LPARAM lParam;
    intptr_t code;
    HWND window;
};

// Entries that compare the message number alone, one per message.
std::vector<ExpectedMessage> MessagesExpected(const std::vector<UINT>& messages);

// actual follows expected: each entry matches in turn (optional ones may be skipped) and nothing
// is left over. On failure: both sequences side by side, and where they part.
::testing::AssertionResult MessageSequenceMatch(const std::vector<ExpectedMessage>& expected,
                                                const std::vector<RecordedMessage>& actual);

// "WM_SIZE", a name given with MessageNameSet, or the number in hexadecimal.
std::string MessageName(UINT message);
// Names a message of the program's own (WM_APP and WM_USER ranges) for the failure messages.
void MessageNameSet(UINT message, const char* name);

}  // namespace support
