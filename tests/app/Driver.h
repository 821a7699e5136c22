// A small driver that runs DRUX.exe as a person would: it starts the program in a working
// directory of its own, finds its windows, reads its list across the process boundary and acts on
// it with real input (SendInput) inside the virtual desktop.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/support/Input.h"
#include "tests/support/Pump.h"

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The screen position at which the tests start every run of DRUX: the window then opens with its
// outer top-left corner at (265, 220).
constexpr POINT LAUNCH_POINTER = {500, 400};

// Every wait of the driver has a deadline; this one covers a start-up or a command.
constexpr DWORD WAIT_DEFAULT_MS = 10000;

// Polls condition every few milliseconds until it holds or timeoutMs has passed. The condition is
// the state of another process, so a short sleep between polls is the only way to wait for it.
template <class Condition>
bool PollUntil(Condition condition, DWORD timeoutMs = WAIT_DEFAULT_MS, DWORD intervalMs = 5) {
    return support::PollUntil(condition, timeoutMs, intervalMs);
}

// ---- Real input: it goes to the foreground window of the desktop, as a person's would ----
// The keys and mouse events of tests/support, under the names the end-to-end tests use.

using support::KeyModifier;
using support::WITH_ALT;
using support::WITH_CONTROL;
using support::WITH_NONE;
using support::WITH_SHIFT;

using support::KeyPress;
using support::MouseClick;
using support::MouseMove;
using support::MousePress;
using support::MouseRelease;
using support::TextType;
// Press at from, move there in steps (paced like a hand), release at to. With arrived, the hand
// stays at to (moving there again) until arrived() holds, for at most a few seconds.
void MouseDrag(POINT from, POINT to, int steps = 8, const std::function<bool()>& arrived = nullptr);
// Moves the pointer and waits until it rests there as every program reads it, the server's
// place and the X pointer alike; reader (a window of the program about to read it) has taken its
// pending input by then. Needed before a press whose handler reads the pointer (the popup menu)
// and before a launch (the window opens around the pointer). Not while a menu or a window move
// holds the pointer: the X pointer cannot be moved then.
::testing::AssertionResult PointerPlace(POINT screen, HWND reader = nullptr);

// What a person sees at a screen point (COLORREF: red in the low byte).
COLORREF ScreenPixel(POINT screen);
// The backgrounds of DRUX's rows, even and odd.
constexpr COLORREF ROW_LIGHT = 0xD0FFFF;  // pale yellow
constexpr COLORREF ROW_DARK = 0x5F0000;   // dark blue
// Waits until the pixel shows colour (the screen may be between two paints); reports the last.
::testing::AssertionResult ScreenPixelWait(POINT screen, COLORREF colour, DWORD timeoutMs = 3000);

std::string Hex(unsigned long long value);

// ---- One run of DRUX.exe ----

// The input requester of a run: "User input" with its label, field (10) and Ok button (1000).
struct Prompt {
    HWND window = nullptr;
    HWND label = nullptr;
    HWND edit = nullptr;
    HWND ok = nullptr;
};

class DruxRun;
// Waits for a prompt other than previous (which must be gone by then), complete with its
// controls, in front and with the keyboard focus in its field.
::testing::AssertionResult PromptWait(DruxRun& run, Prompt* prompt, HWND previous = nullptr);
// Replaces the field's text as a person would (select to the start, type over) and answers
// with key (Enter or Esc); waits until the prompt is gone.
::testing::AssertionResult PromptAnswer(DruxRun& run, const Prompt& prompt, const std::string& text,
                                        WORD key = VK_RETURN);

// A Linux path (CMake's and the scripts' names for files) as Wine opens it: /a/b is Z:\a\b; any
// other path is returned as it is.
std::string WindowsPath(std::string path);

// The program under test, as Wine names it: DRUX_EXE from the environment, else the build's.
std::string DruxExecutable();

struct ColumnInfo {
    std::string text;
    int fmt = -1;
    int width = 0;
};

class DruxRun {
public:
    // Another program (the benchmark's baseline) can stand in for DRUX.exe; title names its window.
    explicit DruxRun(std::string executable = DruxExecutable(), std::string title = "DRUX");
    ~DruxRun();
    DruxRun(const DruxRun&) = delete;
    DruxRun& operator=(const DruxRun&) = delete;

    // Text put after the program's quoted name on the command line of the next Launch.
    void ArgumentsSet(const std::string& arguments) { arguments_ = arguments; }
    // An existing working directory for the next Launch, used as it is: Launch then writes and
    // removes nothing there.
    void WorkingDirectorySet(const std::string& directory) { givenDirectory_ = directory; }
    // Writes Constants.out with these bytes into a fresh working directory (no file at all when
    // constantsFile is null) and starts the program there.
    ::testing::AssertionResult Launch(const std::string* constantsFile);
    // The visible top-level "DRUX" window of the process and its list.
    ::testing::AssertionResult WindowWait(DWORD timeoutMs = WAIT_DEFAULT_MS);
    // Loading is over: the list holds rows rows and a right press on the background opens the
    // popup menu, which exists only once the load has ended (the menu is closed again).
    // probeMs: how long each right press waits for the menu before the next press.
    ::testing::AssertionResult LoadWait(int rows, DWORD timeoutMs = WAIT_DEFAULT_MS,
                                        DWORD probeMs = 300);
    // Launch + WindowWait + LoadWait, with the pointer at LAUNCH_POINTER first.
    ::testing::AssertionResult Start(const std::string* constantsFile, int rows,
                                     DWORD loadTimeoutMs = WAIT_DEFAULT_MS);

    ::testing::AssertionResult ExitWait(DWORD* exitCode, DWORD timeoutMs = WAIT_DEFAULT_MS);
    // The process ends, with exit code 0.
    ::testing::AssertionResult ExitedWithZero(DWORD timeoutMs = WAIT_DEFAULT_MS);
    // Esc given to the main window in front ends the process with exit code 0.
    ::testing::AssertionResult EscapeExit();
    bool Running() const;
    void Terminate();

    // Kernel plus user time of the process so far, in 100 ns units.
    ULONGLONG CpuTime() const;
    // How long a message to the program may take before it counts as unanswered.
    void SendTimeoutSet(UINT milliseconds) { sendTimeoutMs_ = milliseconds; }

    HANDLE Process() const { return process_; }
    DWORD ProcessId() const { return processId_; }
    DWORD ThreadId() const { return threadId_; }  // the program's main thread
    HWND Window() const { return window_; }
    HWND List() const { return list_; }
    const std::string& Directory() const { return directory_; }

    // Makes the main window the foreground window, with a real click on its background if needed,
    // and waits until a key sent now reaches it: its thread has the window active and the
    // keyboard focus inside it, and no menu, move or capture of it is under way.
    ::testing::AssertionResult ForegroundMake();
    bool KeysReachWindow();
    // Waits until the popup menu is gone, the program's thread has left the menu's loop and the
    // window it uncovered is painted again (PaintedWait).
    ::testing::AssertionResult MenuClosedWait(HWND menu);
    // The program hides its main window and shows it again on every paint of it: the first paint
    // (in the first drain of the load), and every one after a menu or a prompt uncovered it. Until
    // then a press falls through to whatever lies beneath and a key reaches no window of it. The
    // program answers the driver's messages even while the window is hidden (the show's
    // activation waits on other threads and takes sent messages meanwhile), so an answer says
    // nothing about the window: input waits until it is shown with no paint pending.
    bool Painted();
    ::testing::AssertionResult PaintedWait(DWORD timeoutMs = WAIT_DEFAULT_MS);
    // A real click on the middle of a row's first column, once the window is painted.
    ::testing::AssertionResult RowClick(int row);

    // ---- The list, read across the process boundary ----
    int ItemCount();
    std::string ItemText(int row, int column, int capacity = 1024);
    std::vector<std::string> ColumnTexts(int column);
    LPARAM ItemParam(int row);
    std::vector<int> SelectedRows();
    RECT ItemRect(int row);  // list client coordinates (LVIR_BOUNDS)
    int TopIndex();
    int CountPerPage();
    bool ColumnRead(int column, ColumnInfo* out);
    RECT HeaderItemRectScreen(int column);
    // A real click on a column header, a little apart from the last one: two quick clicks on one
    // spot are a double click, which the header reports once.
    ::testing::AssertionResult HeaderClick(int column);
    RECT HeaderRectClient();  // the header's place in the list's client area
    // Whether the row lies whole inside the list's visible rows, below the header.
    ::testing::AssertionResult RowFullyVisible(int row);
    // Waits until exactly this row is selected.
    ::testing::AssertionResult SelectionWait(int row, DWORD timeoutMs = WAIT_DEFAULT_MS);

    // ---- Windows of the process ----
    HWND TopLevelFind(const char* className, const char* title, bool visibleOnly = true);
    ::testing::AssertionResult TopLevelWait(const char* className, const char* title, HWND* out,
                                            DWORD timeoutMs = WAIT_DEFAULT_MS);
    std::string WindowText(HWND window);  // WM_GETTEXT, which the system marshals across processes
    // What the desktop and the program's thread look like now, for failure messages.
    std::string Diagnose();
    POINT ClientToScreenPoint(HWND window, int x, int y);

    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    ::testing::AssertionResult ProcessCreate(const std::string& directory);
    bool RemoteReserve(size_t bytes);
    bool RemoteWrite(size_t offset, const void* data, size_t bytes);
    bool RemoteRead(size_t offset, void* data, size_t bytes);
    LPARAM RemoteAddress(size_t offset) const;
    // List request records at the start of the remote block, in the program's own layout.
    bool ItemRecordWrite(const LVITEMA& item);
    bool ItemRecordRead(LVITEMA* item);
    bool ColumnRecordWrite(const LVCOLUMNA& column);
    bool ColumnRecordRead(LVCOLUMNA* column);
    void DirectoryRemove();

    std::string executable_;
    std::string title_;
    std::string arguments_;
    std::string givenDirectory_;
    UINT sendTimeoutMs_;
    int headerClicks_ = 0;
    std::string directory_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    void* remote_ = nullptr;
    size_t remoteSize_ = 0;
    // A 32-bit program run by a 64-bit driver: its list records have the 32-bit layout.
    bool narrow_ = false;
    size_t remoteShift_ = 0;  // added to remote addresses for ReadProcessMemory/WriteProcessMemory
};

}  // namespace e2e
