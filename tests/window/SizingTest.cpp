// Live sizing under real input. A plain sizable window runs the sizing pass first in its window
// procedure, as the layer's window procedure does, and records what reaches it afterwards.
//
// Wine's virtual desktop echoes every pointer move (SendInput or SetCursorPos) a second time
// through X, and the echo of one move is delivered only when the next move happens: a stale
// WM_MOUSEMOVE at the previous position can follow the new one, and GetCursorPos may go back to
// it for a moment. The tests therefore move the real mouse twice to each point and wait for the
// pointer to go quiet (PointerSettle); they read the rectangle of a key's step when the key
// reaches the window procedure; and they take where the pass puts the cursor from its
// SetCursorPos calls, recorded on their way to the platform, because reading the position back
// races with those echoes.
// The OCR_* cursor numbers are only declared with OEMRESOURCE, before windows.h is first seen.
#define OEMRESOURCE
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <string.h>

#include "runtime/Runtime.h"
#include "tests/support/ImportSlots.h"
#include "tests/support/MessageSequence.h"
#include "tests/window/InputInjection.h"
#include "window/Sizing.h"
#include "window/WindowLibrary.h"

namespace {

// Every SetCursorPos call of this program, recorded and passed on. The program's import slot
// for user32's SetCursorPos is pointed at the recorder.
std::vector<POINT> cursorCalls;
BOOL(WINAPI* platformSetCursorPos)(int, int);

BOOL WINAPI SetCursorPosRecorded(int x, int y) {
    cursorCalls.push_back({x, y});
    return platformSetCursorPos(x, y);
}

bool CursorCallsRecord() {
    ULONG_PTR platform = 0;
    std::vector<support::ImportRedirect> redirects = {
        {"SetCursorPos", (ULONG_PTR)&SetCursorPosRecorded, &platform}};
    if (support::ImportsRedirect(redirects).empty()) return false;
    platformSetCursorPos = (BOOL(WINAPI*)(int, int))platform;
    return true;
}

// Full-window dragging is what lets the layer size its windows itself; it is put back at the end.
class SizingEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        WindowLibraryInstall();
        ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1);
        ASSERT_TRUE(CursorCallsRecord());
        SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &saved, 0);
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0));
    }
    void TearDown() override { SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, saved, nullptr, 0); }

private:
    BOOL saved = FALSE;
};
::testing::Environment* const sizingEnvironment =
    ::testing::AddGlobalTestEnvironment(new SizingEnvironment);

// One message that got past the pass, with the pass's state at that moment.
struct Seen {
    UINT message;
    WPARAM wParam;
    RECT rect;  // WM_SIZING: the proposed rectangle
    int32_t edge;
    int32_t active;
    // WM_KEYDOWN: the window and the cursor shape just after the pass acted on the key.
    RECT window;
    HCURSOR shape;
};

std::vector<Seen> seen;
POINT minimumOverride, maximumOverride;  // WM_GETMINMAXINFO answers, when not zero
int sizingSnap;                          // WM_SIZING rounds the width down to this, when not zero

LRESULT CALLBACK SizingTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (SizingPass(window, message, wParam, lParam) == 0) return 0;
    Seen s = {message, wParam, {}, LiveSizing.edge, LiveSizing.active, {}, nullptr};
    if (message == WM_SIZING) s.rect = *(RECT*)lParam;
    if (message == WM_KEYDOWN) {
        GetWindowRect(window, &s.window);
        s.shape = GetCursor();
    }
    seen.push_back(s);
    switch (message) {
    case WM_GETMINMAXINFO: {
        auto* limits = (MINMAXINFO*)lParam;
        if (minimumOverride.x) limits->ptMinTrackSize = minimumOverride;
        if (maximumOverride.x) limits->ptMaxTrackSize = maximumOverride;
        return 0;
    }
    case WM_SIZING:
        if (sizingSnap) {
            auto* r = (RECT*)lParam;
            r->right = r->left + (r->right - r->left) / sizingSnap * sizingSnap;
        }
        return TRUE;
    case WM_SYSCOMMAND:
        // The platform's own sizing loop would hold the test thread until a real drag ends.
        if ((wParam & 0xFFF0) == SC_SIZE) return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The watched messages, in order, for the sequence check.
std::vector<support::RecordedMessage> Watched(const std::vector<Seen>& messages,
                                              const std::vector<UINT>& watched) {
    std::vector<support::RecordedMessage> result;
    for (const Seen& s : messages) {
        for (UINT w : watched) {
            if (w == s.message) {
                result.push_back({nullptr, s.message, s.wParam, 0, 0});
                break;
            }
        }
    }
    return result;
}

const std::vector<UINT> SIZING_MESSAGES = {WM_SYSCOMMAND, WM_GETMINMAXINFO, WM_LBUTTONDOWN,
                                           WM_LBUTTONUP,  WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE,
                                           WM_KEYDOWN};

std::string RectText(const RECT& r) {
    std::ostringstream text;
    text << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return text.str();
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

HCURSOR Shape(int shape) {
    return (HCURSOR)LoadImageA(nullptr, MAKEINTRESOURCEA(shape), IMAGE_CURSOR, 0, 0,
                               LR_DEFAULTSIZE | LR_SHARED);
}

POINT CursorNow() {
    POINT p;
    GetCursorPos(&p);
    return p;
}

const RECT START = {200, 150, 600, 450};
const POINT MIDDLE = {400, 300};

bool operator==(const POINT& a, const POINT& b) {
    return a.x == b.x && a.y == b.y;
}

// Where a person grips an edge of START: the point from which Apply gives back the same edge.
POINT Grip(WPARAM edge) {
    POINT p = MIDDLE;
    if (edge == WMSZ_LEFT || edge == WMSZ_BOTTOMLEFT) p.x = START.left;
    if (edge == WMSZ_TOPLEFT) p = {START.left + 2, START.top + 2};
    if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT)
        p.x = START.right - 2;
    if (edge == WMSZ_TOP || edge == WMSZ_TOPRIGHT) p.y = START.top;
    if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT)
        p.y = START.bottom - 2;
    return p;
}

class Sizing : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = SizingTestProc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            windowClass.lpszClassName = "SizingTestWindow";
            registered = RegisterClassA(&windowClass) != 0;
        }
        minimumOverride = maximumOverride = {0, 0};
        sizingSnap = 0;
        window = CreateWindowExA(0, "SizingTestWindow", "sizing", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 START.left, START.top, START.right - START.left,
                                 START.bottom - START.top, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        SetForegroundWindow(window);
        ASSERT_TRUE(input::PumpUntil(
            [&] { return GetForegroundWindow() == window && GetFocus() == window; }));
        PointerSettle(MIDDLE);
        ASSERT_EQ(LiveSizing.active, 0);
        seen.clear();
    }

    void TearDown() override {
        // A failed case must not leave the next one inside a sizing.
        if (LiveSizing.active) SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        DestroyWindow(window);
        input::PumpFor(50);
    }

    RECT Rect() {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }

    void Reset() {
        MoveWindow(window, START.left, START.top, START.right - START.left,
                   START.bottom - START.top, TRUE);
        minimumOverride = maximumOverride = {0, 0};
        sizingSnap = 0;
    }

    size_t Count(UINT message, WPARAM wParam = (WPARAM)-1) {
        size_t n = 0;
        for (const Seen& s : seen)
            n += s.message == message && (wParam == (WPARAM)-1 || s.wParam == wParam);
        return n;
    }

    size_t PointerActivity() {
        return Count(WM_MOUSEMOVE) + Count(WM_NCMOUSEMOVE) + Count(WM_SIZING);
    }

    // The real mouse to a point, twice (the second move flushes Wine's stale echo of the ones
    // before), then until nothing more arrives from the pointer for a while; again while a late
    // echo has left the window other than settled() expects.
    void PointerSettle(POINT to, const std::function<bool()>& settled = nullptr) {
        for (int attempt = 0; attempt < 4; attempt++) {
            input::MouseMove(to.x, to.y);
            input::PumpUntil([&] { return CursorNow() == to; });
            input::MouseMove(to.x, to.y);
            size_t last = PointerActivity();
            DWORD since = GetTickCount();
            input::PumpUntil([&] {
                if (PointerActivity() != last) {
                    last = PointerActivity();
                    since = GetTickCount();
                }
                return GetTickCount() - since > 100 && CursorNow() == to;
            });
            if (CursorNow() == to && (!settled || settled())) return;
        }
    }

    // The pointer rests at a point and the window has the rectangle that point gives.
    void PointerSettle(POINT to, RECT expected) {
        PointerSettle(to, [&] { return Rect() == expected; });
    }

    // The last two proposals agree: no stale position was applied after the new one.
    bool SizingSteady() {
        const Seen* last[2] = {nullptr, nullptr};
        for (auto s = seen.rbegin(); s != seen.rend() && !last[1]; ++s) {
            if (s->message != WM_SIZING) continue;
            (last[0] ? last[1] : last[0]) = &*s;
        }
        return last[1] && last[0]->rect == last[1]->rect;
    }

    void Start(WPARAM edge) {
        PostMessageA(window, WM_SYSCOMMAND, SC_SIZE | edge, 0);
        ASSERT_TRUE(input::PumpUntil([] { return LiveSizing.active != 0; }))
            << "the sizing did not start";
        // WM_ENTERSIZEMOVE is posted; let it arrive.
        input::PumpUntil([&] { return Count(WM_ENTERSIZEMOVE) > 0; });
    }

    // A real mouse move, waited for until the window has been sized for it.
    void DragTo(POINT to) {
        size_t before = Count(WM_SIZING);
        PointerSettle(to, [&] { return SizingSteady(); });
        EXPECT_GT(Count(WM_SIZING), before)
            << "no WM_SIZING for the move to " << to.x << "," << to.y;
    }

    // A real key that passes the sizing pass (the arrows), as the window procedure saw it.
    Seen KeyPassedOn(WORD key) {
        size_t before = Count(WM_KEYDOWN, key);
        input::KeyPress(key);
        EXPECT_TRUE(input::PumpUntil([&] { return Count(WM_KEYDOWN, key) > before; }))
            << "key " << key << " did not reach the window procedure";
        for (auto s = seen.rbegin(); s != seen.rend(); ++s)
            if (s->message == WM_KEYDOWN && s->wParam == key) return *s;
        return Seen{};
    }

    // The pass put the cursor at p once since the record had `before` calls, and nowhere else.
    void CursorPutAt(size_t before, POINT p) {
        std::ostringstream calls;
        for (size_t i = before; i < cursorCalls.size(); i++)
            calls << "(" << cursorCalls[i].x << "," << cursorCalls[i].y << ") ";
        EXPECT_TRUE(cursorCalls.size() == before + 1 && cursorCalls.back() == p)
            << "SetCursorPos calls: " << calls.str() << "expected (" << p.x << "," << p.y << ")";
    }

    // A real key that ends the sizing (Enter, Esc).
    void KeyEnding(WORD key) {
        input::KeyPress(key);
        EXPECT_TRUE(input::PumpUntil([] { return LiveSizing.active == 0; }))
            << "key " << key << " did not end the sizing";
        input::PumpUntil([&] { return Count(WM_EXITSIZEMOVE) > 0; });
    }

    HWND window = nullptr;
};

TEST_F(Sizing, StartCapturesAndEndsWithEnter) {
    PointerSettle(Grip(WMSZ_RIGHT));
    seen.clear();
    Start(WMSZ_RIGHT);
    EXPECT_EQ(LiveSizing.edge, WMSZ_RIGHT);
    EXPECT_TRUE(LiveSizing.start == START) << RectText(LiveSizing.start);
    EXPECT_EQ(LiveSizing.limits.ptMinTrackSize.x, GetSystemMetrics(SM_CXMINTRACK));
    EXPECT_EQ(LiveSizing.limits.ptMaxTrackSize.y, GetSystemMetrics(SM_CYMAXTRACK));
    EXPECT_EQ(GetCapture(), window);
    // The button was up, so the window is told of a press; the command itself was consumed.
    std::vector<UINT> expected = {WM_GETMINMAXINFO, WM_LBUTTONDOWN, WM_ENTERSIZEMOVE};
    EXPECT_TRUE(support::MessageSequenceMatch(support::MessagesExpected(expected),
                                              Watched(seen, SIZING_MESSAGES)));

    seen.clear();
    KeyEnding(VK_RETURN);
    EXPECT_TRUE(support::MessageSequenceMatch(support::MessagesExpected({WM_EXITSIZEMOVE}),
                                              Watched(seen, SIZING_MESSAGES)))
        << "Enter is consumed and the end announced";
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(Rect() == START) << RectText(Rect());
}

struct DragCase {
    const char* name;
    WPARAM edge;
    POINT minimum;  // WM_GETMINMAXINFO's answer, 0 for the platform's
    POINT maximum;
    int snap;
    std::vector<POINT> path;
    RECT expected;
};

TEST_F(Sizing, MouseDragsFollowThePointerWithinTheLimits) {
    const LONG minWidth = GetSystemMetrics(SM_CXMINTRACK);
    const LONG minHeight = GetSystemMetrics(SM_CYMINTRACK);
    const DragCase cases[] = {
        {"right edge follows the pointer, 2 px beyond it",
         WMSZ_RIGHT,
         {},
         {},
         0,
         {{650, 300}, {700, 320}},
         {200, 150, 702, 450}},
        {"right edge dragged past the left stops at the minimum width",
         WMSZ_RIGHT,
         {},
         {},
         0,
         {{400, 300}, {250, 300}, {100, 300}},
         {200, 150, 200 + minWidth, 450}},
        {"a larger minimum from WM_GETMINMAXINFO holds",
         WMSZ_RIGHT,
         {350, 250},
         {},
         0,
         {{450, 300}, {300, 300}},
         {200, 150, 550, 450}},
        {"the larger minimum height holds for the bottom",
         WMSZ_BOTTOM,
         {350, 250},
         {},
         0,
         {{400, 350}, {400, 200}},
         {200, 150, 600, 400}},
        {"top edge dragged past the bottom stops at the minimum height",
         WMSZ_TOP,
         {},
         {},
         0,
         {{400, 300}, {400, 500}},
         {200, 450 - minHeight, 600, 450}},
        {"the maximum width holds",
         WMSZ_RIGHT,
         {},
         {450, 400},
         0,
         {{800, 300}, {900, 300}},
         {200, 150, 650, 450}},
        {"left edge takes the pointer's column",
         WMSZ_LEFT,
         {},
         {},
         0,
         {{150, 300}, {100, 300}},
         {100, 150, 600, 450}},
        {"top-left corner stands 2 px outside the pointer",
         WMSZ_TOPLEFT,
         {},
         {},
         0,
         {{180, 120}, {150, 100}},
         {148, 98, 600, 450}},
        {"bottom-right corner",
         WMSZ_BOTTOMRIGHT,
         {},
         {},
         0,
         {{650, 500}, {700, 600}},
         {200, 150, 702, 602}},
        {"WM_SIZING may change the rectangle before the move",
         WMSZ_RIGHT,
         {},
         {},
         50,
         {{620, 300}, {673, 300}},
         {200, 150, 650, 450}},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        PointerSettle(Grip(c.edge));
        minimumOverride = c.minimum;
        maximumOverride = c.maximum;
        sizingSnap = c.snap;
        seen.clear();
        Start(c.edge);
        for (POINT p : c.path) DragTo(p);
        KeyEnding(VK_RETURN);
        EXPECT_TRUE(Rect() == c.expected)
            << RectText(Rect()) << " expected " << RectText(c.expected);
        // The sides that are not being dragged never move, at any step.
        const int32_t e = (int32_t)c.edge;
        const bool left = e == WMSZ_LEFT || e == WMSZ_TOPLEFT || e == WMSZ_BOTTOMLEFT;
        const bool right = e == WMSZ_RIGHT || e == WMSZ_TOPRIGHT || e == WMSZ_BOTTOMRIGHT;
        const bool top = e == WMSZ_TOP || e == WMSZ_TOPLEFT || e == WMSZ_TOPRIGHT;
        const bool bottom = e == WMSZ_BOTTOM || e == WMSZ_BOTTOMLEFT || e == WMSZ_BOTTOMRIGHT;
        for (const Seen& s : seen) {
            if (s.message != WM_SIZING) continue;
            SCOPED_TRACE(RectText(s.rect));
            EXPECT_EQ(s.wParam, c.edge);
            if (!left) {
                EXPECT_EQ(s.rect.left, START.left);
            }
            if (!right) {
                EXPECT_EQ(s.rect.right, START.right);
            }
            if (!top) {
                EXPECT_EQ(s.rect.top, START.top);
            }
            if (!bottom) {
                EXPECT_EQ(s.rect.bottom, START.bottom);
            }
        }
    }
}

TEST_F(Sizing, EscRestoresTheStartingRectangleEnterKeepsTheNewOne) {
    struct EndCase {
        WORD key;
        RECT expected;
    };
    const EndCase cases[] = {{VK_ESCAPE, START}, {VK_RETURN, {200, 150, 702, 450}}};
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.key == VK_ESCAPE ? "Esc" : "Enter");
        Reset();
        PointerSettle(Grip(WMSZ_RIGHT));
        seen.clear();
        Start(WMSZ_RIGHT);
        DragTo({650, 300});
        DragTo({700, 300});
        EXPECT_TRUE(Rect() == RECT({200, 150, 702, 450})) << RectText(Rect());
        KeyEnding(c.key);
        EXPECT_TRUE(Rect() == c.expected) << RectText(Rect());
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(Count(WM_KEYDOWN), 0u) << "Enter and Esc are the sizing's own";
        EXPECT_EQ(Count(WM_EXITSIZEMOVE), 1u);
    }
}

// A press on the sizing border: the platform's default handling asks for SC_SIZE itself, the
// button is down, and its release ends the sizing.
TEST_F(Sizing, BorderPressDragAndReleaseWithTheRealMouse) {
    PointerSettle(Grip(WMSZ_RIGHT));
    seen.clear();
    input::MouseLeftDown(Grip(WMSZ_RIGHT).x, Grip(WMSZ_RIGHT).y);
    ASSERT_TRUE(input::PumpUntil([] { return LiveSizing.active != 0; }))
        << "a press on the right border did not start a sizing";
    EXPECT_EQ(LiveSizing.edge, WMSZ_RIGHT);
    DragTo({650, 300});
    DragTo({700, 310});
    input::MouseLeftUp(700, 310);
    EXPECT_TRUE(input::PumpUntil([] { return LiveSizing.active == 0; }));
    input::PumpUntil([&] { return Count(WM_EXITSIZEMOVE) > 0; });
    EXPECT_TRUE(Rect() == RECT({200, 150, 702, 450})) << RectText(Rect());
    EXPECT_EQ(GetCapture(), nullptr);
    // The SC_SIZE request is consumed; no press is made up, and the release is consumed.
    EXPECT_TRUE(support::MessageSequenceMatch(
        support::MessagesExpected({WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
        Watched(seen,
                {WM_SYSCOMMAND, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE})));
}

TEST_F(Sizing, KeyboardChoosesEdgesAndStepsWhileTheKeysGoOn) {
    Start(0);
    EXPECT_EQ(LiveSizing.edge, 0);
    EXPECT_EQ(GetCursor(), Shape(OCR_SIZEALL));

    struct Step {
        WORD key;
        int32_t edge;
        POINT cursor;
        int shape;  // 0: left as it was
        RECT rect;
    };
    const Step steps[] = {
        {VK_LEFT, WMSZ_LEFT, {200, 300}, OCR_SIZEWE, START},
        {VK_UP, WMSZ_TOPLEFT, {202, 152}, OCR_SIZENWSE, START},
        {VK_UP, WMSZ_TOPLEFT, {202, 142}, 0, {200, 140, 600, 450}},
        {VK_LEFT, WMSZ_TOPLEFT, {192, 142}, 0, {190, 140, 600, 450}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "key " << step.key << " to edge " << step.edge);
        size_t calls = cursorCalls.size();
        Seen key = KeyPassedOn(step.key);
        // The pass acted before the key went on to the window procedure.
        EXPECT_EQ(key.active, 1);
        EXPECT_EQ(key.edge, step.edge);
        if (step.shape) {
            EXPECT_EQ(key.shape, Shape(step.shape));
        }
        EXPECT_TRUE(key.window == step.rect) << RectText(key.window);
        CursorPutAt(calls, step.cursor);
        // The hand rests on the mouse where the pass put the cursor: the same rectangle.
        PointerSettle(step.cursor, step.rect);
        EXPECT_TRUE(Rect() == step.rect) << RectText(Rect());
    }
    KeyEnding(VK_RETURN);
    EXPECT_TRUE(Rect() == RECT({190, 140, 600, 450})) << RectText(Rect());
}

// Each arrow on each edge, from a keyboard start with the cursor in the middle.
TEST_F(Sizing, KeyboardTable) {
    struct KeyCase {
        WORD first;  // chooses the first edge from 0
        POINT firstCursor;
        WORD second;
        int32_t edge;  // after the second key
        POINT cursor;
        int shape;
        RECT rect;
    };
    const POINT leftPlace = {200, 300}, rightPlace = {598, 300};
    const POINT topPlace = {400, 150}, bottomPlace = {400, 448};
    const KeyCase cases[] = {
        {VK_UP, topPlace, VK_LEFT, WMSZ_TOPLEFT, {202, 152}, OCR_SIZENWSE, START},
        {VK_DOWN, bottomPlace, VK_LEFT, WMSZ_BOTTOMLEFT, {200, 448}, OCR_SIZENESW, START},
        {VK_UP, topPlace, VK_RIGHT, WMSZ_TOPRIGHT, {598, 150}, OCR_SIZENESW, START},
        {VK_DOWN, bottomPlace, VK_RIGHT, WMSZ_BOTTOMRIGHT, {598, 448}, OCR_SIZENWSE, START},
        {VK_RIGHT, rightPlace, VK_UP, WMSZ_TOPRIGHT, {598, 150}, OCR_SIZENESW, START},
        {VK_RIGHT, rightPlace, VK_DOWN, WMSZ_BOTTOMRIGHT, {598, 448}, OCR_SIZENWSE, START},
        {VK_LEFT, leftPlace, VK_UP, WMSZ_TOPLEFT, {202, 152}, OCR_SIZENWSE, START},
        {VK_LEFT, leftPlace, VK_DOWN, WMSZ_BOTTOMLEFT, {200, 448}, OCR_SIZENESW, START},
        {VK_UP, topPlace, VK_UP, WMSZ_TOP, {400, 140}, OCR_SIZENS, {200, 140, 600, 450}},
        {VK_DOWN, bottomPlace, VK_DOWN, WMSZ_BOTTOM, {400, 458}, OCR_SIZENS, {200, 150, 600, 460}},
        {VK_RIGHT, rightPlace, VK_RIGHT, WMSZ_RIGHT, {608, 300}, OCR_SIZEWE, {200, 150, 610, 450}},
        {VK_LEFT, leftPlace, VK_LEFT, WMSZ_LEFT, {190, 300}, OCR_SIZEWE, {190, 150, 600, 450}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "keys " << c.first << ", " << c.second);
        Reset();
        PointerSettle(MIDDLE);
        Start(0);
        size_t calls = cursorCalls.size();
        Seen first = KeyPassedOn(c.first);
        CursorPutAt(calls, c.firstCursor);
        EXPECT_TRUE(first.window == START) << RectText(first.window);
        PointerSettle(c.firstCursor, START);
        calls = cursorCalls.size();
        Seen second = KeyPassedOn(c.second);
        EXPECT_EQ(second.edge, c.edge);
        EXPECT_EQ(second.shape, Shape(c.shape));
        EXPECT_TRUE(second.window == c.rect) << RectText(second.window);
        CursorPutAt(calls, c.cursor);
        PointerSettle(c.cursor, c.rect);
        KeyEnding(VK_ESCAPE);
        EXPECT_TRUE(Rect() == START) << RectText(Rect());
    }
}

TEST_F(Sizing, KeyboardStartPutsTheCursorBackUnlessTheMouseMoved) {
    // Moved without a mouse message reaching the window: Enter puts the cursor back.
    Start(0);
    ASSERT_EQ(LiveSizing.restoreCursor, 1);
    SetCursorPos(450, 350);
    size_t calls = cursorCalls.size();
    SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(LiveSizing.active, 0);
    CursorPutAt(calls, MIDDLE);

    // Moved with the real mouse: the cursor stays where the mouse left it.
    PointerSettle(MIDDLE);
    Start(0);
    PointerSettle({450, 350});
    EXPECT_EQ(LiveSizing.restoreCursor, 0);
    calls = cursorCalls.size();
    KeyEnding(VK_RETURN);
    EXPECT_EQ(cursorCalls.size(), calls) << "the cursor was moved at the end";
    EXPECT_TRUE(Rect() == START) << "with no edge chosen the mouse sizes nothing";
}

TEST_F(Sizing, OutlineDraggingLeavesSizingToThePlatform) {
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0));
    SendMessageA(window, WM_SYSCOMMAND, SC_SIZE | WMSZ_RIGHT, 0);
    input::PumpFor(100);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    EXPECT_EQ(LiveSizing.active, 0);
    EXPECT_NE(GetCapture(), window);
    EXPECT_TRUE(support::MessageSequenceMatch(
        {{WM_SYSCOMMAND, support::MESSAGE_WPARAM, SC_SIZE | WMSZ_RIGHT, 0, 0, nullptr}},
        Watched(seen, SIZING_MESSAGES)))
        << "the command goes on to the window procedure, nothing else happens";
}

}  // namespace
