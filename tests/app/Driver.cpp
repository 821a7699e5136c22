#include "tests/app/Driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace e2e {

namespace {

// Messages to another process get a deadline: a hung program must fail the test, not hang it.
constexpr UINT SEND_TIMEOUT_MS = 5000;
// Longer than the 100 ms for which Wine's GetCursorPos trusts the server's place of the pointer
// before it asks X (below).
constexpr DWORD POINTER_REST_MS = 150;
constexpr DWORD POINTER_PLACE_LIMIT_MS = 5000;
// The first bytes of the remote block hold the record of a request, the rest its text.
constexpr size_t REMOTE_TEXT = 512;
constexpr size_t REMOTE_SIZE = 256 * 1024;

unsigned long runCounter = 0;

struct TopLevelSearch {
    DWORD processId;
    const char* className;
    const char* title;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK TopLevelVisit(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    char text[256] = "";
    if (search->className) {
        GetClassNameA(window, text, sizeof text);
        if (strcmp(text, search->className) != 0) return TRUE;
    }
    if (search->title) {
        text[0] = 0;
        GetWindowTextA(window, text, sizeof text);
        if (strcmp(text, search->title) != 0) return TRUE;
    }
    search->found = window;
    return FALSE;
}

// The list's request records as a 32-bit DRUX.exe reads them: pointers and LPARAM take 4 bytes
// there. A 64-bit driver runs the shipped 32-bit program where that program can only run emulated.
struct ListItem32 {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    DWORD pszText;
    int cchTextMax;
    int iImage;
    LONG lParam;
    int iIndent;
    int iGroupId;
    UINT cColumns;
    DWORD puColumns;
};
static_assert(sizeof(ListItem32) == 52, "LVITEMA of 32-bit Windows");

struct ListColumn32 {
    UINT mask;
    int fmt;
    int cx;
    DWORD pszText;
    int cchTextMax;
    int iSubItem;
    int iImage;
    int iOrder;
};
static_assert(sizeof(ListColumn32) == 32, "LVCOLUMNA of 32-bit Windows");

DWORD Narrow(const void* remote) {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(remote));
}

ULONGLONG ProcessCpuTime(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
    auto join = [](FILETIME t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return join(kernel) + join(user);
}

}  // namespace

std::string Hex(unsigned long long value) {
    char text[32];
    snprintf(text, sizeof text, "0x%llX", value);
    return text;
}

std::string WindowsPath(std::string path) {
    // Wine reaches the Linux root through drive Z:.
    if (path.empty() || path[0] != '/') return path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

std::string DruxExecutable() {
    const char* overridden = getenv("DRUX_EXE");
    return WindowsPath(overridden ? overridden : DRUX_EXE);
}

// ---- input ----

void MouseDrag(POINT from, POINT to, int steps, const std::function<bool()>& arrived) {
    MouseMove(from);
    Sleep(30);
    MousePress(from);
    // A hand takes time: the window's move loop must see the press before the moves.
    Sleep(100);
    for (int i = 1; i <= steps; ++i) {
        POINT p = {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        MouseMove(p);
        Sleep(25);
    }
    Sleep(50);
    if (arrived) {
        // A program that reads X motion late turns an earlier step into input after the last
        // one; the move loop follows it and would end there. The hand moves to the end again
        // until what it drags has arrived (bounded: the release comes regardless).
        PollUntil(
            [&] {
                if (arrived()) return true;
                MouseMove({to.x > 0 ? to.x - 1 : to.x + 1, to.y});
                MouseMove(to);
                return false;
            },
            3000, 100);
    }
    MouseRelease(to);
}

::testing::AssertionResult PointerPlace(POINT screen, HWND reader) {
    // Under Wine on X the pointer has two places: the server's, which SendInput sets at once,
    // and the X pointer, which the sender warps to match and which GetCursorPos reports once the
    // server's place is 100 ms old. A warp is refused while another program holds the pointer
    // (an open menu, a window move), and a program turns X motion it has not read yet into
    // input when it reads it, moving the server's place back. So the pointer counts as placed
    // only once it has read right for longer than those 100 ms, with the reader's pending X input
    // taken in between; a wrong read after that goes round a neighbouring pixel, so that the
    // move is made, and warped, again.
    const DWORD start = GetTickCount();
    DWORD moved = start;
    DWORD restingSince = 0;
    bool resting = false;
    POINT at = {};
    MouseMove(screen);
    for (;;) {
        if (reader) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(reader, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                SEND_TIMEOUT_MS, &ignored);
        }
        bool read = GetCursorPos(&at) != FALSE;
        const DWORD now = GetTickCount();
        if (read && at.x == screen.x && at.y == screen.y) {
            if (!resting) restingSince = now;
            resting = true;
            if (now - restingSince >= POINTER_REST_MS && now - moved >= POINTER_REST_MS)
                return ::testing::AssertionSuccess();
        } else {
            resting = false;
            if (now - moved >= POINTER_REST_MS) {
                MouseMove({screen.x > 0 ? screen.x - 1 : screen.x + 1, screen.y});
                MouseMove(screen);
                moved = now;
            }
        }
        if (now - start >= POINTER_PLACE_LIMIT_MS) break;
        Sleep(10);
    }
    return ::testing::AssertionFailure()
           << "the pointer does not rest at (" << screen.x << ", " << screen.y << "): it reads ("
           << at.x << ", " << at.y << ") after " << POINTER_PLACE_LIMIT_MS << " ms";
}

COLORREF ScreenPixel(POINT screen) {
    HDC dc = GetDC(nullptr);
    COLORREF colour = GetPixel(dc, screen.x, screen.y);
    ReleaseDC(nullptr, dc);
    return colour;
}

::testing::AssertionResult ScreenPixelWait(POINT screen, COLORREF colour, DWORD timeoutMs) {
    COLORREF seen = CLR_INVALID;
    if (PollUntil([&] { return (seen = ScreenPixel(screen)) == colour; }, timeoutMs, 20))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel at screen (" << screen.x << ", " << screen.y
                                         << ") is " << Hex(seen) << ", expected " << Hex(colour);
}

// ---- the run ----

DruxRun::DruxRun(std::string executable, std::string title)
    : executable_(std::move(executable)),
      title_(std::move(title)),
      sendTimeoutMs_(SEND_TIMEOUT_MS) {}

ULONGLONG DruxRun::CpuTime() const {
    return process_ ? ProcessCpuTime(process_) : 0;
}

DruxRun::~DruxRun() {
    Terminate();
    DirectoryRemove();
}

bool DruxRun::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void DruxRun::Terminate() {
    if (!process_) return;
    if (Running()) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    remote_ = nullptr;
    remoteSize_ = 0;
}

void DruxRun::DirectoryRemove() {
    if (directory_.empty()) return;
    // The program has ended by now, so nothing holds the file open.
    DeleteFileA((directory_ + "\\Constants.out").c_str());
    RemoveDirectoryA(directory_.c_str());
    directory_.clear();
}

::testing::AssertionResult DruxRun::Launch(const std::string* constantsFile) {
    if (process_) return ::testing::AssertionFailure() << "this run has already started";
    if (!givenDirectory_.empty()) return ProcessCreate(givenDirectory_);
    char temp[MAX_PATH];
    if (!GetTempPathA(sizeof temp, temp))
        return ::testing::AssertionFailure() << "no temporary directory";
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%sdrux-e2e-%lu-%lu-%lu", temp,
             static_cast<unsigned long>(GetCurrentProcessId()), ++runCounter,
             static_cast<unsigned long>(GetTickCount()));
    if (!CreateDirectoryA(name, nullptr))
        return ::testing::AssertionFailure()
               << "cannot create " << name << ": error " << GetLastError();
    directory_ = name;

    if (constantsFile) {
        std::string file = directory_ + "\\Constants.out";
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return ::testing::AssertionFailure() << "cannot write " << file;
        DWORD written = 0;
        BOOL ok = constantsFile->empty() ||
                  WriteFile(h, constantsFile->data(), static_cast<DWORD>(constantsFile->size()),
                            &written, nullptr);
        CloseHandle(h);
        if (!ok || written != constantsFile->size())
            return ::testing::AssertionFailure() << "short write of " << file;
    }

    return ProcessCreate(directory_);
}

::testing::AssertionResult DruxRun::ProcessCreate(const std::string& directory) {
    const std::string& exe = executable_;
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ::testing::AssertionFailure() << "no program at " << exe;
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments_.empty()) commandLine += " " + arguments_;
    std::vector<char> commandBuffer(commandLine.begin(), commandLine.end());
    commandBuffer.push_back(0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exe.c_str(), commandBuffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info))
        return ::testing::AssertionFailure()
               << "CreateProcessA(" << exe << ") failed: error " << GetLastError();
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
    BOOL wow64 = FALSE;
    narrow_ = sizeof(void*) > 4 && IsWow64Process(process_, &wow64) && wow64;
    // A 32-bit program emulated in user mode (qemu) sees its memory at an offset from where
    // Wine's server reads and writes it for another process; the emulator set-up names it.
    const char* base = getenv("DRUX_EMULATED_BASE");
    remoteShift_ = narrow_ && base ? static_cast<size_t>(strtoull(base, nullptr, 0)) : 0;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult DruxRun::WindowWait(DWORD timeoutMs) {
    bool ended = false;
    bool found = PollUntil(
        [&] {
            if (!Running()) {
                ended = true;
                return true;
            }
            window_ = TopLevelFind(nullptr, title_.c_str());
            return window_ != nullptr;
        },
        timeoutMs);
    if (ended) {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return ::testing::AssertionFailure()
               << executable_ << " ended with exit code " << code << " before its window showed";
    }
    if (!found)
        return ::testing::AssertionFailure() << "no visible top-level window \"" << title_
                                             << "\" of the process within " << timeoutMs << " ms";
    if (!PollUntil(
            [&] {
                return (list_ = FindWindowExA(window_, nullptr, "SysListView32", nullptr)) !=
                       nullptr;
            },
            timeoutMs))
        return ::testing::AssertionFailure() << "the DRUX window has no SysListView32 child";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult DruxRun::LoadWait(int rows, DWORD timeoutMs, DWORD probeMs) {
    int count = -1;
    if (!PollUntil([&] { return (count = ItemCount()) == rows || !Running(); }, timeoutMs) ||
        count != rows)
        return ::testing::AssertionFailure()
               << "the list holds " << count << " rows after " << timeoutMs << " ms, expected "
               << rows << (Running() ? "" : " (the program has ended)");
    // The row count alone does not tell that the load is over: a last drain of the event queue
    // follows, which drops any command. The popup menu is made right after the load (a right
    // press shows nothing before it), so a menu that opens marks its end, as a person who missed
    // the second beep would find out. Esc closes the menu without a command.
    const DWORD start = GetTickCount();
    // Where the menu opens does not matter here, but a probe press that the pointer's place
    // reached late would leave the pointer elsewhere for whatever the test does next.
    if (auto placed = PointerPlace(ClientToScreenPoint(window_, 10, 10), window_); !placed)
        return placed;
    for (;;) {
        POINT press = ClientToScreenPoint(window_, 10, 10);
        MousePress(press, true);
        MouseRelease(press, true);
        HWND menu = nullptr;
        if (PollUntil(
                [&] { return (menu = TopLevelFind("#32768", nullptr)) != nullptr || !Running(); },
                probeMs, 2) &&
            menu) {
            KeyPress(VK_ESCAPE);
            if (auto closed = MenuClosedWait(menu); !closed) return closed;
            break;
        }
        if (!Running()) return ::testing::AssertionFailure() << "the program ended during the load";
        if (GetTickCount() - start >= timeoutMs)
            return ::testing::AssertionFailure()
                   << "no popup menu on a right press within " << timeoutMs
                   << " ms: the load does not end (" << Diagnose() << ")";
    }
    count = ItemCount();
    if (count != rows)
        return ::testing::AssertionFailure()
               << "the row count moved on to " << count << " after reaching " << rows;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult DruxRun::MenuClosedWait(HWND menu) {
    // The menu's window goes before its loop has ended; until then the loop takes the keys.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window_, nullptr);
    if (PollUntil(
            [&] {
                return !IsWindowVisible(menu) && GetGUIThreadInfo(thread, &info) &&
                       !(info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) && !info.hwndCapture;
            },
            3000))
        return PaintedWait();
    return ::testing::AssertionFailure()
           << "the popup menu does not close on Esc (" << Diagnose() << ")";
}

bool DruxRun::Painted() {
    // The update region lives in the Wine server, so another process reads it; without erasing,
    // the read changes nothing.
    return IsWindowVisible(window_) && !GetUpdateRect(window_, nullptr, FALSE);
}

::testing::AssertionResult DruxRun::PaintedWait(DWORD timeoutMs) {
    if (PollUntil([&] { return Painted() || !Running(); }, timeoutMs) && Running())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the DRUX window is not shown and painted within "
                                         << timeoutMs << " ms (" << Diagnose() << ")";
}

::testing::AssertionResult DruxRun::RowClick(int row) {
    if (auto painted = PaintedWait(); !painted) return painted;
    RECT item = ItemRect(row);
    if (item.bottom <= item.top)
        return ::testing::AssertionFailure() << "row " << row << " has no place in the list";
    POINT onRow = ClientToScreenPoint(list_, item.left + 100, (item.top + item.bottom) / 2);
    MouseMove(onRow);
    MouseClick(onRow);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult DruxRun::Start(const std::string* constantsFile, int rows,
                                          DWORD loadTimeoutMs) {
    if (auto placed = PointerPlace(LAUNCH_POINTER); !placed) return placed;
    if (auto launched = Launch(constantsFile); !launched) return launched;
    if (auto shown = WindowWait(); !shown) return shown;
    return LoadWait(rows, loadTimeoutMs);
}

::testing::AssertionResult DruxRun::ExitWait(DWORD* exitCode, DWORD timeoutMs) {
    if (!process_) return ::testing::AssertionFailure() << "no process";
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return ::testing::AssertionFailure()
               << "DRUX is still running after " << timeoutMs << " ms (" << Diagnose() << ")";
    GetExitCodeProcess(process_, exitCode);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult DruxRun::ExitedWithZero(DWORD timeoutMs) {
    DWORD code = 0xFFFFFFFF;
    if (auto ended = ExitWait(&code, timeoutMs); !ended) return ended;
    if (code != 0) return ::testing::AssertionFailure() << "exit code " << code << ", not 0";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult DruxRun::EscapeExit() {
    if (auto front = ForegroundMake(); !front) return front;
    KeyPress(VK_ESCAPE);
    return ExitedWithZero();
}

bool DruxRun::KeysReachWindow() {
    if (GetForegroundWindow() != window_) return false;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info)) return false;
    const DWORD modal = GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE | GUI_INMOVESIZE;
    return info.hwndActive == window_ && !(info.flags & modal) && !info.hwndCapture &&
           (info.hwndFocus == window_ || IsChild(window_, info.hwndFocus));
}

::testing::AssertionResult DruxRun::ForegroundMake() {
    // The foreground moves in the server at once, while the program's thread takes its activation,
    // focus and the end of a menu or a move only when it next reads its queue; a key sent before
    // that reaches no window of it, or the menu's loop. So the wait is on the thread's own state.
    // The X focus events of an activation reach the program (and the desktop's own process)
    // later still; what they change in the keyboard state must be in before the keys, so each
    // check follows a round trip through both. A click to bring the window forward must not come
    // while a paint has it hidden, so the paint goes first.
    if (auto painted = PaintedWait(); !painted) return painted;
    auto ready = [&] {
        if (!Painted() || !KeysReachWindow()) return false;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, sendTimeoutMs_,
                            &ignored);
        SendMessageTimeoutA(GetDesktopWindow(), WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            sendTimeoutMs_, &ignored);
        return KeysReachWindow();
    };
    if (PollUntil(ready, 200)) return ::testing::AssertionSuccess();
    // Wine's virtual desktop may refuse SetForegroundWindow from another process; a real click
    // on the window's background (outside the list) always activates it.
    if (GetForegroundWindow() != window_) {
        SetForegroundWindow(window_);
        if (PollUntil(ready, 200)) return ::testing::AssertionSuccess();
    }
    if (GetForegroundWindow() != window_) MouseClick(ClientToScreenPoint(window_, 10, 10));
    if (PollUntil(ready, 3000)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the DRUX window does not become the foreground window with the keyboard focus ("
           << Diagnose() << ")";
}

// ---- cross-process reading ----

LRESULT DruxRun::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             sendTimeoutMs_, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

bool DruxRun::RemoteReserve(size_t bytes) {
    if (remote_ && remoteSize_ >= bytes) return true;
    if (!process_) return false;
    if (remote_) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    remoteSize_ = bytes > REMOTE_SIZE ? bytes : REMOTE_SIZE;
    remote_ =
        VirtualAllocEx(process_, nullptr, remoteSize_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote_) remoteSize_ = 0;
    return remote_ != nullptr;
}

bool DruxRun::RemoteWrite(size_t offset, const void* data, size_t bytes) {
    SIZE_T done = 0;
    return RemoteReserve(offset + bytes) &&
           WriteProcessMemory(process_, static_cast<char*>(remote_) + remoteShift_ + offset, data,
                              bytes, &done) &&
           done == bytes;
}

bool DruxRun::RemoteRead(size_t offset, void* data, size_t bytes) {
    SIZE_T done = 0;
    return RemoteReserve(offset + bytes) &&
           ReadProcessMemory(process_, static_cast<char*>(remote_) + remoteShift_ + offset, data,
                             bytes, &done) &&
           done == bytes;
}

bool DruxRun::ItemRecordWrite(const LVITEMA& item) {
    if (!narrow_) return RemoteWrite(0, &item, sizeof item);
    ListItem32 record = {};
    record.mask = item.mask;
    record.iItem = item.iItem;
    record.iSubItem = item.iSubItem;
    record.state = item.state;
    record.stateMask = item.stateMask;
    record.pszText = Narrow(item.pszText);
    record.cchTextMax = item.cchTextMax;
    record.lParam = static_cast<LONG>(item.lParam);
    return RemoteWrite(0, &record, sizeof record);
}

bool DruxRun::ItemRecordRead(LVITEMA* item) {
    if (!narrow_) return RemoteRead(0, item, sizeof *item);
    ListItem32 record = {};
    if (!RemoteRead(0, &record, sizeof record)) return false;
    item->state = record.state;
    item->lParam = record.lParam;
    return true;
}

bool DruxRun::ColumnRecordWrite(const LVCOLUMNA& column) {
    if (!narrow_) return RemoteWrite(0, &column, sizeof column);
    ListColumn32 record = {};
    record.mask = column.mask;
    record.fmt = column.fmt;
    record.cx = column.cx;
    record.pszText = Narrow(column.pszText);
    record.cchTextMax = column.cchTextMax;
    record.iSubItem = column.iSubItem;
    return RemoteWrite(0, &record, sizeof record);
}

bool DruxRun::ColumnRecordRead(LVCOLUMNA* column) {
    if (!narrow_) return RemoteRead(0, column, sizeof *column);
    ListColumn32 record = {};
    if (!RemoteRead(0, &record, sizeof record)) return false;
    column->fmt = record.fmt;
    column->cx = record.cx;
    column->iSubItem = record.iSubItem;
    return true;
}

LPARAM DruxRun::RemoteAddress(size_t offset) const {
    return reinterpret_cast<LPARAM>(static_cast<char*>(remote_) + offset);
}

int DruxRun::ItemCount() {
    return static_cast<int>(Send(list_, LVM_GETITEMCOUNT, 0, 0));
}

std::string DruxRun::ItemText(int row, int column, int capacity) {
    if (!RemoteReserve(REMOTE_TEXT + capacity)) return "<no remote memory>";
    std::vector<char> text(capacity + 1, 0);
    if (!RemoteWrite(REMOTE_TEXT, text.data(), capacity)) return "<remote write failed>";
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPSTR>(RemoteAddress(REMOTE_TEXT));
    item.cchTextMax = capacity;
    if (!ItemRecordWrite(item)) return "<remote write failed>";
    Send(list_, LVM_GETITEMTEXTA, row, RemoteAddress(0));
    if (!RemoteRead(REMOTE_TEXT, text.data(), capacity)) return "<remote read failed>";
    text[capacity] = 0;
    return std::string(text.data());
}

std::vector<std::string> DruxRun::ColumnTexts(int column) {
    std::vector<std::string> texts;
    int count = ItemCount();
    for (int row = 0; row < count; ++row) texts.push_back(ItemText(row, column));
    return texts;
}

LPARAM DruxRun::ItemParam(int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = -12345;
    if (!ItemRecordWrite(item)) return -12345;
    Send(list_, LVM_GETITEMA, 0, RemoteAddress(0));
    if (!ItemRecordRead(&item)) return -12345;
    return item.lParam;
}

std::vector<int> DruxRun::SelectedRows() {
    std::vector<int> rows;
    int count = ItemCount();
    int row = -1;
    while (static_cast<int>(rows.size()) <= count) {
        row = static_cast<int>(
            Send(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), MAKELPARAM(LVNI_SELECTED, 0)));
        if (row < 0) break;
        rows.push_back(row);
    }
    return rows;
}

RECT DruxRun::ItemRect(int row) {
    RECT rect = {LVIR_BOUNDS, 0, 0, 0};
    if (!RemoteWrite(0, &rect, sizeof rect)) return RECT{};
    if (!Send(list_, LVM_GETITEMRECT, row, RemoteAddress(0))) return RECT{};
    RemoteRead(0, &rect, sizeof rect);
    return rect;
}

int DruxRun::TopIndex() {
    return static_cast<int>(Send(list_, LVM_GETTOPINDEX, 0, 0));
}

int DruxRun::CountPerPage() {
    return static_cast<int>(Send(list_, LVM_GETCOUNTPERPAGE, 0, 0));
}

bool DruxRun::ColumnRead(int column, ColumnInfo* out) {
    constexpr int capacity = 256;
    char text[capacity] = {};
    if (!RemoteWrite(REMOTE_TEXT, text, capacity)) return false;
    LVCOLUMNA record = {};
    record.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    record.pszText = reinterpret_cast<LPSTR>(RemoteAddress(REMOTE_TEXT));
    record.cchTextMax = capacity;
    if (!ColumnRecordWrite(record)) return false;
    if (Send(list_, LVM_GETCOLUMNA, column, RemoteAddress(0)) <= 0) return false;
    if (!ColumnRecordRead(&record) || !RemoteRead(REMOTE_TEXT, text, capacity)) return false;
    text[capacity - 1] = 0;
    out->text = text;
    out->fmt = record.fmt;
    out->width = record.cx;
    return true;
}

RECT DruxRun::HeaderItemRectScreen(int column) {
    HWND header = FindWindowExA(list_, nullptr, "SysHeader32", nullptr);
    RECT rect = {};
    if (!header || !RemoteWrite(0, &rect, sizeof rect)) return rect;
    if (!Send(header, HDM_GETITEMRECT, column, RemoteAddress(0))) return RECT{};
    RemoteRead(0, &rect, sizeof rect);
    MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult DruxRun::HeaderClick(int column) {
    RECT header = HeaderItemRectScreen(column);
    if (header.left >= header.right)
        return ::testing::AssertionFailure() << "no header item for column " << column;
    headerClicks_ = (headerClicks_ + 1) % 3;
    POINT spot = {(header.left + header.right) / 2 + (headerClicks_ - 1) * 12,
                  (header.top + header.bottom) / 2};
    // A late X motion from before (the window mapped under the pointer at the launch) that
    // came between the press and the release would make the click a header drag.
    if (auto placed = PointerPlace(spot, list_); !placed) return placed;
    MouseClick(spot);
    return ::testing::AssertionSuccess();
}

RECT DruxRun::HeaderRectClient() {
    HWND header = FindWindowExA(list_, nullptr, "SysHeader32", nullptr);
    RECT rect = {};
    if (!header || !IsWindowVisible(header)) return rect;
    GetWindowRect(header, &rect);
    MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult DruxRun::RowFullyVisible(int row) {
    RECT item = ItemRect(row);
    RECT client = {};
    GetClientRect(list_, &client);
    RECT header = HeaderRectClient();
    int top = TopIndex();
    int perPage = CountPerPage();
    if (item.top >= header.bottom && item.bottom <= client.bottom && row >= top &&
        row < top + perPage)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "row " << row << " at y " << item.top << ".." << item.bottom
           << " is not inside the visible rows (header ends at " << header.bottom
           << ", client ends at " << client.bottom << "; top index " << top << ", " << perPage
           << " rows per page)";
}

::testing::AssertionResult DruxRun::SelectionWait(int row, DWORD timeoutMs) {
    std::vector<int> selected;
    if (PollUntil(
            [&] {
                selected = SelectedRows();
                return selected.size() == 1 && selected[0] == row;
            },
            timeoutMs))
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "expected row " << row << " alone selected; selected rows: {";
    for (size_t i = 0; i < selected.size(); ++i) failure << (i ? ", " : "") << selected[i];
    return failure << "} (" << Diagnose() << ")";
}

// ---- windows ----

HWND DruxRun::TopLevelFind(const char* className, const char* title, bool visibleOnly) {
    TopLevelSearch search = {processId_, className, title, visibleOnly, nullptr};
    EnumWindows(TopLevelVisit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

::testing::AssertionResult DruxRun::TopLevelWait(const char* className, const char* title,
                                                 HWND* out, DWORD timeoutMs) {
    HWND found = nullptr;
    if (PollUntil([&] { return (found = TopLevelFind(className, title)) != nullptr || !Running(); },
                  timeoutMs) &&
        found) {
        *out = found;
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "no visible window of class \"" << (className ? className : "*") << "\" titled \""
           << (title ? title : "*") << "\" within " << timeoutMs << " ms"
           << (Running() ? "" : " (the program has ended)");
}

std::string DruxRun::WindowText(HWND window) {
    char text[1024] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, sendTimeoutMs_, &length))
        return "<no answer to WM_GETTEXT>";
    text[sizeof text - 1] = 0;
    return text;
}

std::string DruxRun::Diagnose() {
    auto describe = [](HWND window) {
        if (!window) return std::string("none");
        char cls[64] = "", title[64] = "";
        GetClassNameA(window, cls, sizeof cls);
        GetWindowTextA(window, title, sizeof title);
        char text[200];
        snprintf(text, sizeof text, "%p %s \"%s\"%s%s", static_cast<void*>(window), cls, title,
                 IsWindowVisible(window) ? "" : " hidden",
                 IsWindowEnabled(window) ? "" : " disabled");
        return std::string(text);
    };
    std::string text = "foreground: " + describe(GetForegroundWindow());
    text += "; main window: " + describe(window_);
    if (window_) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info)) {
            text += "; its thread: active " + describe(info.hwndActive) + ", focus " +
                    describe(info.hwndFocus) + ", capture " + describe(info.hwndCapture) +
                    ", flags " + Hex(info.flags);
        }
    }
    text += Running() ? "; running" : "; ended";
    return text;
}

POINT DruxRun::ClientToScreenPoint(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    return p;
}

// ---- the input requester ----

::testing::AssertionResult PromptWait(DruxRun& run, Prompt* prompt, HWND previous) {
    if (previous && !PollUntil([&] { return !IsWindow(previous); }, 3000))
        return ::testing::AssertionFailure() << "the previous prompt stays open";
    if (auto shown = run.TopLevelWait("InputRequester", "User input", &prompt->window); !shown)
        return shown;
    // The window shows before its controls exist, and takes the front only after them.
    bool ready = PollUntil(
        [&] {
            prompt->label = FindWindowExA(prompt->window, nullptr, "Static", nullptr);
            prompt->edit = GetDlgItem(prompt->window, 10);
            prompt->ok = GetDlgItem(prompt->window, 1000);
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            return prompt->label && prompt->edit && prompt->ok &&
                   GetGUIThreadInfo(GetWindowThreadProcessId(prompt->window, nullptr), &info) &&
                   info.hwndFocus == prompt->edit && GetForegroundWindow() == prompt->window;
        },
        3000);
    if (!ready)
        return ::testing::AssertionFailure()
               << "the prompt is not ready for typing: label " << prompt->label << ", field "
               << prompt->edit << ", Ok " << prompt->ok << " (" << run.Diagnose() << ")";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult PromptAnswer(DruxRun& run, const Prompt& prompt, const std::string& text,
                                        WORD key) {
    // The prompt's X focus can arrive after Wine already holds the injected Shift, and Wine then
    // takes the modifiers from X, which turns Shift+Home into Home or a typed capital into a small
    // letter: the selection and then the typed text are read back, and both made again until the
    // field holds exactly the text.
    std::string seen;
    for (int attempt = 0; attempt < 5; ++attempt) {
        bool selected = false;
        for (int select = 0; select < 5 && !selected; ++select) {
            if (select) KeyPress(VK_END);
            KeyPress(VK_HOME, WITH_SHIFT);
            selected = PollUntil(
                [&] {
                    size_t length = run.WindowText(prompt.edit).size();
                    DWORD selection = (DWORD)run.Send(prompt.edit, EM_GETSEL, 0, 0);
                    return LOWORD(selection) == 0 && HIWORD(selection) == length;
                },
                1000);
        }
        if (!selected)
            return ::testing::AssertionFailure()
                   << "Shift+Home does not select the field's text (" << run.Diagnose() << ")";
        if (text.empty()) KeyPress(VK_DELETE);
        TextType(text);
        if (PollUntil([&] { return (seen = run.WindowText(prompt.edit)) == text; }, 3000)) break;
    }
    if (seen != text)
        return ::testing::AssertionFailure() << "the field shows \"" << seen << "\" after typing \""
                                             << text << "\" (" << run.Diagnose() << ")";
    KeyPress(key);
    if (!PollUntil([&] { return !IsWindow(prompt.window); }, 3000))
        return ::testing::AssertionFailure()
               << "the prompt stays open after the answer (" << run.Diagnose() << ")";
    // The prompt uncovered the main window, whose paint hides and shows it again.
    return run.PaintedWait();
}

}  // namespace e2e
