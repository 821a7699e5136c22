// The recorder's queries, the sequence check and the message names it prints.
#include "tests/support/MessageSequence.h"

#include <commctrl.h>
#include <stdio.h>

#include <map>

namespace support {

namespace {

#define NAMED(message) \
    { message, #message }
const std::map<UINT, const char*> PLATFORM_NAMES = {
    NAMED(WM_CREATE),
    NAMED(WM_DESTROY),
    NAMED(WM_MOVE),
    NAMED(WM_SIZE),
    NAMED(WM_ACTIVATE),
    NAMED(WM_SETFOCUS),
    NAMED(WM_KILLFOCUS),
    NAMED(WM_ENABLE),
    NAMED(WM_SETTEXT),
    NAMED(WM_GETTEXT),
    NAMED(WM_PAINT),
    NAMED(WM_CLOSE),
    NAMED(WM_QUIT),
    NAMED(WM_ERASEBKGND),
    NAMED(WM_SHOWWINDOW),
    NAMED(WM_ACTIVATEAPP),
    NAMED(WM_SETCURSOR),
    NAMED(WM_MOUSEACTIVATE),
    NAMED(WM_GETMINMAXINFO),
    NAMED(WM_WINDOWPOSCHANGING),
    NAMED(WM_WINDOWPOSCHANGED),
    NAMED(WM_NOTIFY),
    NAMED(WM_NCCREATE),
    NAMED(WM_NCDESTROY),
    NAMED(WM_NCCALCSIZE),
    NAMED(WM_NCHITTEST),
    NAMED(WM_NCPAINT),
    NAMED(WM_NCACTIVATE),
    NAMED(WM_KEYDOWN),
    NAMED(WM_KEYUP),
    NAMED(WM_CHAR),
    NAMED(WM_SYSKEYDOWN),
    NAMED(WM_SYSKEYUP),
    NAMED(WM_SYSCHAR),
    NAMED(WM_INITMENU),
    NAMED(WM_INITMENUPOPUP),
    NAMED(WM_MENUSELECT),
    NAMED(WM_ENTERIDLE),
    NAMED(WM_UNINITMENUPOPUP),
    NAMED(WM_COMMAND),
    NAMED(WM_SYSCOMMAND),
    NAMED(WM_TIMER),
    NAMED(WM_CONTEXTMENU),
    NAMED(WM_MOUSEMOVE),
    NAMED(WM_LBUTTONDOWN),
    NAMED(WM_LBUTTONUP),
    NAMED(WM_LBUTTONDBLCLK),
    NAMED(WM_RBUTTONDOWN),
    NAMED(WM_RBUTTONUP),
    NAMED(WM_MOUSEWHEEL),
    NAMED(WM_SIZING),
    NAMED(WM_CAPTURECHANGED),
    NAMED(WM_MOVING),
    NAMED(WM_ENTERSIZEMOVE),
    NAMED(WM_EXITSIZEMOVE),
    NAMED(WM_ENTERMENULOOP),
    NAMED(WM_EXITMENULOOP),
    NAMED(WM_SETFONT),
    NAMED(WM_GETFONT),
    NAMED(WM_PARENTNOTIFY),
    NAMED(WM_CANCELMODE),
    NAMED(WM_CHILDACTIVATE),
    NAMED(WM_STYLECHANGING),
    NAMED(WM_STYLECHANGED),
    NAMED(WM_GETICON),
    NAMED(WM_SETICON),
    NAMED(WM_CTLCOLORSTATIC),
    NAMED(WM_CTLCOLOREDIT),
    NAMED(WM_CTLCOLORBTN),
    NAMED(WM_NULL),
};
#undef NAMED

std::map<UINT, std::string>& ProgramNames() {
    static std::map<UINT, std::string> names;
    return names;
}

std::string Hex(unsigned long long value) {
    char text[32];
    snprintf(text, sizeof text, "0x%llX", value);
    return text;
}

std::string ExpectedText(const ExpectedMessage& entry) {
    std::string text = MessageName(entry.message);
    if (entry.flags & MESSAGE_WPARAM) text += " wParam " + Hex(entry.wParam);
    if (entry.flags & MESSAGE_LPARAM) text += " lParam " + Hex((unsigned long long)entry.lParam);
    if (entry.flags & MESSAGE_CODE) text += " code " + std::to_string((long long)entry.code);
    if (entry.flags & MESSAGE_WINDOW) text += " window " + Hex((uintptr_t)entry.window);
    if (entry.flags & MESSAGE_OPTIONAL) text += " (optional)";
    return text;
}

// The actual entry, with the fields that its expected counterpart (if any) cares about.
std::string ActualText(const RecordedMessage& entry, unsigned flags) {
    std::string text = MessageName(entry.message);
    if (flags & MESSAGE_WPARAM) text += " wParam " + Hex(entry.wParam);
    if (flags & MESSAGE_LPARAM) text += " lParam " + Hex((unsigned long long)entry.lParam);
    if (flags & MESSAGE_CODE) text += " code " + std::to_string((long long)entry.code);
    if (flags & MESSAGE_WINDOW) text += " window " + Hex((uintptr_t)entry.window);
    return text;
}

bool Matches(const ExpectedMessage& expected, const RecordedMessage& actual) {
    if (expected.message != actual.message) return false;
    if ((expected.flags & MESSAGE_WPARAM) && expected.wParam != actual.wParam) return false;
    if ((expected.flags & MESSAGE_LPARAM) && expected.lParam != actual.lParam) return false;
    if ((expected.flags & MESSAGE_CODE) && expected.code != actual.code) return false;
    if ((expected.flags & MESSAGE_WINDOW) && expected.window != actual.window) return false;
    return true;
}

std::string Padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

}  // namespace

std::vector<RecordedMessage> MessageRecorder::Only(const std::vector<UINT>& wanted,
                                                   HWND window) const {
    std::vector<RecordedMessage> result;
    for (const RecordedMessage& entry : messages) {
        if (window && entry.window != window) continue;
        for (UINT message : wanted) {
            if (entry.message == message) {
                result.push_back(entry);
                break;
            }
        }
    }
    return result;
}

bool MessageRecorder::Contains(UINT message) const {
    for (const RecordedMessage& entry : messages) {
        if (entry.message == message) return true;
    }
    return false;
}

std::vector<ExpectedMessage> MessagesExpected(const std::vector<UINT>& messages) {
    std::vector<ExpectedMessage> expected;
    for (UINT message : messages) expected.push_back({message, 0, 0, 0, 0, nullptr});
    return expected;
}

::testing::AssertionResult MessageSequenceMatch(const std::vector<ExpectedMessage>& expected,
                                                const std::vector<RecordedMessage>& actual) {
    size_t e = 0, a = 0;
    while (e < expected.size() && a < actual.size()) {
        if (Matches(expected[e], actual[a])) {
            ++e;
            ++a;
        } else if (expected[e].flags & MESSAGE_OPTIONAL) {
            ++e;
        } else {
            break;
        }
    }
    while (e < expected.size() && (expected[e].flags & MESSAGE_OPTIONAL)) ++e;
    if (e == expected.size() && a == actual.size()) return ::testing::AssertionSuccess();

    const size_t width = 36;
    std::string table = "\n  " + Padded("expected", width + 4) + "actual\n";
    size_t rows = expected.size() > actual.size() ? expected.size() : actual.size();
    for (size_t i = 0; i < rows; ++i) {
        unsigned flags = i < expected.size() ? expected[i].flags : 0;
        std::string left = i < expected.size() ? ExpectedText(expected[i]) : "-";
        std::string right = i < actual.size() ? ActualText(actual[i], flags) : "-";
        char index[16];
        snprintf(index, sizeof index, "%2u  ", (unsigned)i);
        table += "  " + std::string(index) + Padded(left, width) + right + "\n";
    }
    std::string where;
    if (e < expected.size() && a < actual.size()) {
        where = "expected entry " + std::to_string(e) + " (" + ExpectedText(expected[e]) +
                ") does not match actual entry " + std::to_string(a) + " (" +
                ActualText(actual[a], expected[e].flags) + ")";
    } else if (e < expected.size()) {
        where = "the actual sequence ends before expected entry " + std::to_string(e) + " (" +
                ExpectedText(expected[e]) + ")";
    } else {
        where = "the actual sequence goes on after the expected one, from entry " +
                std::to_string(a) + " (" + ActualText(actual[a], 0) + ")";
    }
    return ::testing::AssertionFailure() << where << table;
}

std::string MessageName(UINT message) {
    auto program = ProgramNames().find(message);
    if (program != ProgramNames().end()) return program->second;
    auto platform = PLATFORM_NAMES.find(message);
    if (platform != PLATFORM_NAMES.end()) return platform->second;
    return Hex(message);
}

void MessageNameSet(UINT message, const char* name) {
    ProgramNames()[message] = name;
}

}  // namespace support
