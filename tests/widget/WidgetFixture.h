// A runtime started afresh (with the widget and graphics libraries in its start order) for every
// test, a parent window that records what its widgets tell it, and bounded message pumps.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/Memory.h"
#include "runtime/Runtime.h"
#include "runtime/Text.h"

// One message that reached a test parent window.
struct ParentMessage {
    UINT message;
    int code;          // WM_NOTIFY: NMHDR.code; WM_COMMAND: notification code
    UINT_PTR idFrom;   // WM_NOTIFY: NMHDR.idFrom; WM_COMMAND: the control's GWLP_ID
    HWND from;
};

// Everything the test parents saw since the test began.
extern std::vector<ParentMessage> parentMessages;
std::string ParentMessagesDump(const std::vector<ParentMessage>& messages);

class WidgetFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A visible top-level window with a client area of width by height, made the widget parent.
    HWND ParentOpen(int width = 600, int height = 400);
    std::vector<HWND> parents;
};

// Pumps this thread's messages until done() or the deadline; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000);
void PumpPending();

// A real left click at a screen position (absolute coordinates on every event).
void MouseClick(POINT screen);

// Pixel of a bitmap, read with GetPixel through a memory context of its own.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);
