// Live sizing of a layer window, seen from the application's loop: every step of a drag is a
// size event while the drag goes on. Everything here is pumped by EventPoll, as the application
// does, so the layer's deferred size message is read where the application reads it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <vector>

#include "tests/window/InputInjection.h"
#include "window/Event.h"
#include "window/Sizing.h"
#include "window/Window.h"

namespace {

const ObjectNumber SIZED_WINDOW = 3;

class SizingLayer : public ::testing::Test {
protected:
    void SetUp() override {
        // WS_OVERLAPPEDWINDOW: a caption and a sizing frame.
        ASSERT_NE(WindowOpen(SIZED_WINDOW, 200, 150, 400, 300, 0x00CF0000, "sizing"), 0);
        window = WindowLookup(SIZED_WINDOW)->window;
        SetForegroundWindow(window);
        ASSERT_TRUE(Poll([&] { return GetForegroundWindow() == window && GetFocus() == window; }));
        GetWindowRect(window, &start);
    }

    void TearDown() override {
        if (LiveSizing.active) SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        WindowClose(SIZED_WINDOW);
        Poll([] { return false; }, 50);
    }

    // The application's loop: EventPoll until done() holds or the time is up; the events it
    // returned (message numbers included) go to events.
    bool Poll(const std::function<bool()>& done, DWORD milliseconds = 3000) {
        DWORD begin = GetTickCount();
        for (;;) {
            int32_t event;
            while ((event = EventPoll()) != 0) events.push_back(event);
            if (done()) return true;
            if (GetTickCount() - begin > milliseconds) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    RECT Rect() {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }

    POINT CursorNow() {
        POINT p;
        GetCursorPos(&p);
        return p;
    }

    // The real mouse to a point, twice, until the pointer is there and the window's right edge
    // stands where that point puts it (Wine's virtual desktop may deliver a stale position of
    // an earlier move after the new one; a further move to the same point mends that).
    bool DragRightEdgeTo(POINT to) {
        for (int attempt = 0; attempt < 4; attempt++) {
            input::MouseMove(to.x, to.y);
            Poll([&] { return CursorNow().x == to.x && CursorNow().y == to.y; });
            input::MouseMove(to.x, to.y);
            if (Poll([&] { return Rect().right == to.x + 2; }, 1000)) {
                Poll([] { return false; }, 100);
                if (Rect().right == to.x + 2) return true;
            }
        }
        return false;
    }

    HWND window = nullptr;
    RECT start = {};
    std::vector<int32_t> events;
};

std::string EventsText(const std::vector<int32_t>& events) {
    std::ostringstream text;
    for (int32_t e : events) text << std::hex << "0x" << e << " ";
    return text.str();
}

TEST_F(SizingLayer, EveryDragStepIsASizeEventWhileTheDragGoesOn) {
    const POINT grip = {start.right - 2, (start.top + start.bottom) / 2};
    input::MouseMove(grip.x, grip.y);
    Poll([&] { return CursorNow().x == grip.x && CursorNow().y == grip.y; });
    Poll([] { return false; }, 100);

    PostMessageA(window, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT, 0);
    ASSERT_TRUE(Poll([] { return LiveSizing.active != 0; })) << "the sizing did not start";

    const POINT path[] = {{grip.x + 50, grip.y}, {grip.x + 100, grip.y}, {grip.x + 30, grip.y}};
    for (POINT p : path) {
        SCOPED_TRACE(testing::Message() << "step to " << p.x);
        events.clear();
        EXPECT_TRUE(DragRightEdgeTo(p)) << "right edge at " << Rect().right;
        // The deferred size message may still be on its way when the edge is in place.
        Poll([&] {
            for (int32_t e : events)
                if (e == EVENT_SIZE_WINDOW) return true;
            return false;
        });
        EXPECT_NE(std::find(events.begin(), events.end(), EVENT_SIZE_WINDOW), events.end())
            << "events: " << EventsText(events);
        EXPECT_EQ(LiveSizing.active, 1) << "the drag should still be going on";
    }

    input::KeyPress(VK_RETURN);
    EXPECT_TRUE(Poll([] { return LiveSizing.active == 0; }));
    EXPECT_EQ(Rect().right, path[2].x + 2);
    EXPECT_EQ(Rect().left, start.left);
}

}  // namespace
