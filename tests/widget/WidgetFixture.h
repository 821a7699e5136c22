// A runtime started afresh (with the widget and graphics libraries in its start order) for every
// test, a parent window that records what its widgets tell it, and bounded message pumps.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/Memory.h"
#include "runtime/ObjectTable.h"
#include "runtime/Runtime.h"
#include "runtime/Text.h"
#include "tests/support/MessageSequence.h"
#include "tests/support/Pump.h"

// One message that reached a test parent window: WM_NOTIFY, WM_COMMAND from a control and
// WM_LBUTTONDOWN. window: the notifying control (the parent for a button press); wParam: the
// control's full identifier (NMHDR.idFrom, or its GWLP_ID for WM_COMMAND, whose wParam keeps only
// 16 bits); code: NMHDR.code or the WM_COMMAND notification code.
using ParentMessage = support::RecordedMessage;

// Everything the test parents saw since the test began.
extern support::MessageRecorder parentRecorder;
extern std::vector<ParentMessage>& parentMessages;
// One line per message, with its name.
std::string ParentMessagesDump(const std::vector<ParentMessage>& messages);

class WidgetFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A visible top-level window with a client area of width by height, made the widget parent.
    HWND ParentOpen(int width = 600, int height = 400);
    std::vector<HWND> parents;
};

// Thin wrappers over tests/support: bounded pumps of this thread's messages and a real left click
// at a screen position.
using support::PumpPending;
using support::PumpUntil;
void MouseClick(POINT screen);

// The platform control behind a widget, or nullptr when the number names none.
HWND ControlOf(ObjectNumber widget);

// Pixel of a bitmap, read with GetPixel through a memory context of its own.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);
