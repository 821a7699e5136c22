// Numbered top-level windows, their shared window procedure and the user callback.
#include "window/Window.h"
#include <commctrl.h>
#include <string.h>
#include "runtime/Runtime.h"
#include "window/Event.h"
#include "window/Focus.h"
#include "window/Shortcut.h"
#include "window/Sizing.h"

ObjectTable WindowTable;

namespace {

struct WindowLayerState {
    HWND current;           // most recent window made by WindowOpen
    UserCallback callback;  // shared by all windows
    WNDCLASSA classTemplate;
};

WindowLayerState layer;
// Made once and kept for the whole run: every registered class, the template's included, points
// at it, so a second start-up must not replace it under classes that still exist.
HBRUSH backgroundBrush;

const int32_t CLASS_NAME_SIZE = 40;
const int32_t CONTROL_CLASS_SIZE = 50;
const intptr_t CONTROL_MENU_IDENTIFIER = -10000;

enum Centring { CENTRE_NONE, CENTRE_SCREEN, CENTRE_ACTIVE };

// The slot or dynamic record being built for number; re-taken after every platform call that
// may run the callback, because a nested WindowOpen may grow the table and move its slots.
WindowRecord* WindowSlot(ObjectNumber number, WindowRecord* created) {
    if (number == OBJECT_ANY) return created;  // dynamic records never move
    return (WindowRecord*)ObjectCreate(&WindowTable, number);
}

DWORD WindowStyleFromFlags(int32_t flags, Centring* centring) {
    DWORD style = (DWORD)flags;
    *centring = CENTRE_NONE;
    if (style & WINDOW_CENTRE_SCREEN) {
        style &= ~(DWORD)WINDOW_CENTRE_SCREEN;
        *centring = CENTRE_SCREEN;
    }
    if (style & WINDOW_CENTRE_ACTIVE) {
        style &= ~(DWORD)WINDOW_CENTRE_ACTIVE;
        *centring = CENTRE_ACTIVE;
    }
    if (style == 0 || style == (DWORD)WINDOW_INVISIBLE) style |= WS_CAPTION;
    return style ^ WS_VISIBLE;
}

// Halves are arithmetic shifts: they round toward minus infinity.
void WindowCentre(Centring centring, LONG width, LONG height, LONG* x, LONG* y) {
    HWND active = centring == CENTRE_ACTIVE ? GetActiveWindow() : nullptr;
    RECT activeRect;
    if (active && GetWindowRect(active, &activeRect)) {
        *x = activeRect.left - (width >> 1) + ((activeRect.right - activeRect.left) >> 1);
        *y = activeRect.top - (height >> 1) + ((activeRect.bottom - activeRect.top) >> 1);
        if (*x < 0) *x = 0;
        if (*y < 0) *y = 0;
        return;
    }
    LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
    LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
    *x = (screenWidth >> 1) - ((width < screenWidth ? width : screenWidth) >> 1);
    *y = (screenHeight >> 1) - ((height < screenHeight ? height : screenHeight) >> 1);
}

// The class name of a control, empty when it has none (a stale handle, say).
void ControlClassName(HWND control, char* buffer) {
    buffer[0] = 0;
    GetClassNameA(control, buffer, CONTROL_CLASS_SIZE);
}

void ControlCommandHandle(WPARAM wParam, HWND control) {
    EventCurrent.code = EVENT_WIDGET;
    EventCurrent.type = HIWORD(wParam);
    EventCurrent.identifier = GetWindowLongPtrA(control, GWLP_ID);
    if (EventCurrent.identifier == CONTROL_MENU_IDENTIFIER) {
        EventCurrent.code = EVENT_MENU;
        EventCurrent.identifier = LOWORD(wParam);
    }
    char className[CONTROL_CLASS_SIZE];
    ControlClassName(control, className);
    if (strncmp(className, "List", 4) != 0) return;
    // List boxes: only a selection change (type 0) or a double click (type 2) is an event.
    if (HIWORD(wParam) == LBN_SELCHANGE) {
        EventCurrent.type = 0;
    } else if (HIWORD(wParam) != LBN_DBLCLK) {
        EventCurrent.code = 0;
    }
}

void CommandHandle(WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) {
        ControlCommandHandle(wParam, (HWND)lParam);
        return;
    }
    if (HIWORD(wParam) == 0) {  // a menu item
        EventCurrent.code = EVENT_MENU;
        EventCurrent.identifier = (intptr_t)wParam;
        return;
    }
    switch (LOWORD(wParam)) {  // a shortcut
    case COMMAND_FOCUS_NEXT: FocusNext(); break;
    case COMMAND_FOCUS_PREVIOUS: FocusPrevious(); break;
    default:
        EventCurrent.code = EVENT_MENU;
        EventCurrent.identifier = LOWORD(wParam);
        break;
    }
}

// Whether a notification can raise an event at all; the class name matters only then. Most
// notifications (item changes, custom draw) raise none, and a control sends them by the thousand.
bool NotifyMayRaise(UINT code) {
    switch (code) {
    case NM_CLICK:
    case NM_RCLICK:
    case NM_DBLCLK:
    case NM_RDBLCLK:
    case LVN_ITEMACTIVATE:
    case TVN_SELCHANGEDA:
    case LVN_ITEMCHANGED:
    case UDN_DELTAPOS: return true;
    default: return EventCurrent.type != -1;
    }
}

void NotifyHandle(const NMHDR* header) {
    if (!header || !NotifyMayRaise(header->code)) return;
    char className[CONTROL_CLASS_SIZE];
    ControlClassName(header->hwndFrom, className);
    if (strncmp(className, "SysT", 4) == 0 || strncmp(className, "SysL", 4) == 0) {
        switch (header->code) {
        case NM_CLICK: EventCurrent.type = 0; break;
        case NM_RCLICK: EventCurrent.type = 1; break;
        case NM_DBLCLK: EventCurrent.type = 2; break;
        case NM_RDBLCLK: EventCurrent.type = 3; break;
        case LVN_ITEMACTIVATE: EventCurrent.type = 2; break;
        default: break;
        }
        // The type is 0 from start-up to the first wait or poll, so until then every
        // notification of these controls counts as an event.
        if (EventCurrent.type != -1 || header->code == TVN_SELCHANGEDA ||
            header->code == LVN_ITEMCHANGED) {
            EventCurrent.code = EVENT_WIDGET;
            EventCurrent.identifier = (intptr_t)header->idFrom;
        }
    } else if (header->code == UDN_DELTAPOS) {
        EventCurrent.code = EVENT_WIDGET;
        EventCurrent.identifier = (intptr_t)header->idFrom;
        EventCurrent.type = ((const NMUPDOWN*)header)->iDelta;
    }
}

void NotifyIconHandle(WPARAM wParam, LPARAM lParam) {
    EventCurrent.code = 0;
    EventCurrent.identifier = (intptr_t)wParam;
    int32_t type;
    switch (lParam) {
    case WM_LBUTTONUP: type = 0; break;
    case WM_RBUTTONUP: type = 1; break;
    case WM_LBUTTONDBLCLK: type = 2; break;
    case WM_RBUTTONDBLCLK: type = 3; break;
    default: return;
    }
    EventCurrent.code = EVENT_NOTIFY_ICON;
    EventCurrent.type = type;
}

// The layer's own messages; HANDLER_DEFAULT for the ones it leaves to the platform.
LRESULT WindowMessageHandle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: EventCurrent.code = EVENT_CLOSE_WINDOW; return 0;
    case WM_SIZE:
        // Deferred, so that the event reaches the application's loop rather than being
        // overwritten by whatever else the resizing call sends.
        PostMessageA(window, WM_DRUX_SIZE_DEFERRED, wParam, lParam);
        return 0;
    case WM_DRUX_SIZE_DEFERRED: EventCurrent.code = EVENT_SIZE_WINDOW; return 0;
    case WM_COMMAND: CommandHandle(wParam, lParam); return 0;
    case WM_NOTIFY: NotifyHandle((const NMHDR*)lParam); return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        EventCurrent.code = EVENT_WIDGET;
        EventCurrent.identifier = GetWindowLongPtrA((HWND)lParam, GWLP_ID);
        return 0;
    case WM_DRUX_NOTIFY_ICON:
        PostMessageA(window, WM_DRUX_NOTIFY_ICON_POSTED, wParam, lParam);
        return 0;
    case WM_DRUX_NOTIFY_ICON_POSTED: NotifyIconHandle(wParam, lParam); return 0;
    default: return HANDLER_DEFAULT;
    }
}

}  // namespace

void WindowClassNameFormat(char* buffer, ObjectNumber number) {
#if INTPTR_MAX == INT32_MAX
    wsprintfA(buffer, "WindowClass_%ld", (long)number);
#else
    // A dynamic identifier is an address here and does not fit %ld's 32-bit long.
    char digits[24];
    int32_t count = 0;
    uint64_t magnitude = number < 0 ? 0 - (uint64_t)number : (uint64_t)number;
    do {
        digits[count++] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    char* out = buffer + wsprintfA(buffer, "WindowClass_%s", number < 0 ? "-" : "");
    while (count) *out++ = digits[--count];
    *out = 0;
#endif
}

void WindowLayerInit() {
    layer = WindowLayerState();
    EventStateReset();
    ObjectTableInit(&WindowTable, sizeof(WindowRecord), 10, 30, 2, 2);

    if (!backgroundBrush) {
        LOGBRUSH brush = {BS_SOLID, GetSysColor(COLOR_BTNFACE), 0};
        backgroundBrush = CreateBrushIndirect(&brush);
    }
    WNDCLASSA& template_ = layer.classTemplate;
    template_.style = 0;  // in particular no CS_DBLCLKS
    template_.lpfnWndProc = WindowProcedure;
    template_.hInstance = RuntimeInstance;
    template_.hIcon = LoadIconA(RuntimeInstance, MAKEINTRESOURCEA(1));
    template_.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    template_.hbrBackground = backgroundBrush;
    template_.lpszClassName = "TemplateClass";
    RegisterClassA(&template_);
}

WindowRecord* WindowLookup(ObjectNumber number) {
    return (WindowRecord*)ObjectLookup(&WindowTable, number);
}

intptr_t WindowOpen(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                    int32_t flags, const char* title) {
    WindowRecord* created = (WindowRecord*)ObjectCreate(&WindowTable, number);
    if (!created) return 0;
    if (number != OBJECT_ANY) WindowClose(number);
    ObjectNumber name = number == OBJECT_ANY ? ObjectIdentifier(created) : number;

    char className[CLASS_NAME_SIZE];
    WindowClassNameFormat(className, name);
    WNDCLASSA windowClass = layer.classTemplate;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);

    Centring centring;
    DWORD style = WindowStyleFromFlags(flags, &centring);
    // Unsigned sums: hostile sizes wrap instead of overflowing.
    RECT outer = {x, y, (LONG)((uint32_t)x + (uint32_t)width),
                  (LONG)((uint32_t)y + (uint32_t)height)};
    AdjustWindowRect(&outer, style, FALSE);
    LONG outerWidth = (LONG)((uint32_t)outer.right - (uint32_t)outer.left);
    LONG outerHeight = (LONG)((uint32_t)outer.bottom - (uint32_t)outer.top);
    LONG left = x;
    LONG top = y;
    if (centring != CENTRE_NONE) WindowCentre(centring, outerWidth, outerHeight, &left, &top);

    *WindowSlot(number, created) = WindowRecord();
    HWND window = CreateWindowExA(0, className, title, style, left, top, outerWidth, outerHeight,
                                  nullptr, nullptr, RuntimeInstance, nullptr);
    if (!window) {
        // A dynamic record nobody can name again would only be leaked.
        if (number == OBJECT_ANY) ObjectRemove(&WindowTable, name);
        return 0;
    }
    WindowRecord* record = WindowSlot(number, created);
    record->window = window;
    layer.current = window;
    ShortcutDefaultsSet(record);
    return number == OBJECT_ANY ? name : (intptr_t)window;
}

void WindowClose(ObjectNumber number) {
    WindowRecord* record = WindowLookup(number);
    if (!record) return;
    HWND window = record->window;
    char className[CLASS_NAME_SIZE];
    WindowClassNameFormat(className, number);
    // Someone may have destroyed the window behind the layer's back, and its handle may since
    // name a window of another class.
    char actualName[CLASS_NAME_SIZE] = "";
    GetClassNameA(window, actualName, CLASS_NAME_SIZE);
    bool ours = strcmp(actualName, className) == 0;
    if (ours) {
        // The platform deletes a class's background brush when the class is unregistered; this
        // one is shared with every other window class for the whole run.
        SetClassLongPtrA(window, GCLP_HBRBACKGROUND, 0);
        DestroyWindow(window);
        // The callback ran during the destruction and may have closed this number itself.
        record = WindowLookup(number);
        if (!record || record->window != window) return;
        UnregisterClassA(className, RuntimeInstance);
    }
    // Otherwise the class keeps the brush and stays registered; reopening the number reuses it.
    if (record->shortcutCount != 0) ShortcutsFree(record);
    ObjectRemove(&WindowTable, number);
}

void WindowCloseAll() {
    ObjectReleaseAll(&WindowTable, WindowClose, false);
}

void WindowShow(ObjectNumber number, int32_t state) {
    WindowRecord* record = WindowLookup(number);
    if (!record) return;
    ShowWindow(record->window, state == 0 ? SW_SHOWNORMAL : SW_HIDE);
}

HWND WindowHandleCurrent() {
    return layer.current;
}

void WindowSetCallback(UserCallback procedure) {
    layer.callback = procedure;
}

HACCEL WindowAcceleratorsActive() {
    HWND active = GetActiveWindow();
    if (!active) return nullptr;
    for (ObjectNode* node = WindowTable.head; node; node = node->next) {
        WindowRecord* record = (WindowRecord*)ObjectNodeData(node);
        if (record->window == active) return record->accelerators;
    }
    for (ObjectNumber number = 0; number <= WindowTable.bound; number++) {
        WindowRecord* record = WindowLookup(number);
        if (record && record->window == active) return record->accelerators;
    }
    return nullptr;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (SizingPass(window, message, wParam, lParam) == 0) return 0;
    if (layer.callback) {
        LRESULT result = layer.callback(window, message, wParam, lParam);
        if (result != CALLBACK_DEFAULT) return result;
    }
    LRESULT result = WindowMessageHandle(window, message, wParam, lParam);
    if (result != HANDLER_DEFAULT) return result;
    return DefWindowProcA(window, message, wParam, lParam);
}
