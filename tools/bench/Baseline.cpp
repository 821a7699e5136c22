// The bare baseline for DRUX's figures: the least a program must do for the same result. One
// ReadFile of Constants.out, the rows inserted into a list-view with redraw suspended, then the
// popup menu (whose existence marks the end of the load for the measuring driver, as for DRUX);
// a header click sorts by the column's text, F3 scans every row's texts for a fixed text.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <vector>

namespace {

HWND list = nullptr;
HMENU popup = nullptr;  // made after the load, as DRUX makes its own
char textA[128];
char textB[128];
int sortColumn = 0;
int sortDirection = 1;
const char* const FIND_TEXT = "BENCH_LAST";

void ItemTextRead(int row, int column, char* text, int capacity) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = capacity;
    text[0] = 0;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

int CALLBACK RowsCompare(LPARAM row1, LPARAM row2, LPARAM column) {
    ItemTextRead(static_cast<int>(row1), static_cast<int>(column), textA, sizeof textA);
    ItemTextRead(static_cast<int>(row2), static_cast<int>(column), textB, sizeof textB);
    // Bytes with the letters folded, the cheapest order that a person would accept.
    for (int i = 0;; ++i) {
        int a = static_cast<unsigned char>(textA[i]);
        int b = static_cast<unsigned char>(textB[i]);
        if (a >= 'a' && a <= 'z') a -= 0x20;
        if (b >= 'a' && b <= 'z') b -= 0x20;
        if (a != b) return (a - b) * sortDirection;
        if (!a) return 0;
    }
}

void ColumnSort(int column) {
    if (column != sortColumn) sortDirection = 1;
    PFNLVCOMPARE compare = RowsCompare;  // its own type first: a wrong signature does not compile
    SendMessageA(list, LVM_SORTITEMSEX, column, reinterpret_cast<LPARAM>(compare));
    sortColumn = column;
    sortDirection = -sortDirection;
}

// One pass over every row from the top; selects the first row holding the text.
void FindPass() {
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    char text[1024];
    for (int row = 0; row < count; ++row)
        for (int column = 0; column < 3; ++column) {
            ItemTextRead(row, column, text, sizeof text);
            if (strstr(text, FIND_TEXT)) {
                LVITEMA state = {};
                state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                state.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
                SendMessageA(list, LVM_ENSUREVISIBLE, row, 0);
                return;
            }
        }
}

void RowsLoad() {
    HANDLE file = CreateFileA("Constants.out", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD size = GetFileSize(file, nullptr);
    std::vector<char> bytes(size + 1, 0);
    DWORD read = 0;
    ReadFile(file, bytes.data(), size, &read, nullptr);
    CloseHandle(file);
    bytes[read] = 0;

    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    char* lines[3];
    int line = 0;
    int row = 0;
    char* p = bytes.data();
    char* end = bytes.data() + read;
    while (p < end) {
        lines[line] = p;
        while (p < end && *p != '\r' && *p != '\n') ++p;
        if (p < end && *p == '\r' && p + 1 < end && p[1] == '\n') *p++ = 0;
        if (p < end) *p++ = 0;
        if (++line == 3) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = row;
            item.pszText = lines[0];
            item.lParam = row;
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            for (int column = 1; column < 3; ++column) {
                item.iSubItem = column;
                item.pszText = lines[column];
                SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            }
            ++row;
            line = 0;
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == list && header->code == LVN_COLUMNCLICK)
            ColumnSort(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem);
        break;
    }
    case WM_RBUTTONDOWN:
        if (popup) {
            POINT at;
            GetCursorPos(&at);
            SetForegroundWindow(window);
            TrackPopupMenu(popup, 0, at.x - 1, at.y - 1, 0, window, nullptr);
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == 4) DestroyWindow(window);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "BenchBaseline";
    RegisterClassA(&windowClass);

    POINT pointer = {};
    GetCursorPos(&pointer);
    HWND window = CreateWindowExA(0, "BenchBaseline", "DRUX baseline",
                                  WS_CLIPCHILDREN | WS_DLGFRAME, pointer.x - 235, pointer.y - 180,
                                  476, 386, nullptr, nullptr, instance, nullptr);
    list = CreateWindowExA(0, WC_LISTVIEWA, "",
                           WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                           25, 25, 420, 330, window, nullptr, instance, nullptr);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const char* titles[3] = {"Name", "Value (10)", "Hex Value"};
    const int widths[3] = {240, 80, 80};
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = c ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = widths[c];
        column.pszText = const_cast<char*>(titles[c]);
        SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    RowsLoad();
    // The rows on screen before any input is read, as DRUX paints them before it is ready.
    UpdateWindow(window);
    popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 3, "Find");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, 4, "Exit");

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_F3)) {
            // Keys straight from the queue, whichever control has the focus.
            if (msg.wParam == VK_ESCAPE) break;
            FindPass();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    ExitProcess(0);
}
