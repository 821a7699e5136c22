// The program's spine: start-up in its fixed order, the event loop, and the immediate exit.
#include "app/App.h"
#include "runtime/CommandLine.h"
#include "runtime/Memory.h"
#include "runtime/Runtime.h"
#include "runtime/Text.h"
#include "widget/Widget.h"
#include "widget/WidgetLibrary.h"
#include "window/Event.h"
#include "window/Window.h"
#include "window/WindowLibrary.h"

AppState app;

void EventsDrain() {
    while (EventPoll() != 0) {
    }
}

static void EventLoop() {
    while (!app.quitRequested) {
        int32_t event = EventWait();
        if (event == EVENT_CLOSE_WINDOW)
            app.quitRequested = 1;
        else if (event == EVENT_MENU)
            CommandDispatch((int32_t)EventMenuId());
    }
}

static bool MainWindowOpen() {
    POINT pointer = {0, 0};
    GetCursorPos(&pointer);
    app.quitRequested = 0;
    MessageBeep(MB_ICONHAND);
    // Centred on the pointer by the nominal 360 height, though the inner height asked for is 340.
    return WindowOpen(WINDOW_MAIN, pointer.x - (app.windowWidth >> 1),
                      pointer.y - (app.windowHeight >> 1), app.windowWidth, app.windowHeight - 20,
                      WINDOW_INVISIBLE, "DRUX") != 0;
}

// No caption, a dialog frame; the frame change keeps the outer rectangle, so the inner area grows
// by the former caption's height and the callback refits the list.
static void MainWindowFrameChange() {
    HWND window = WindowHandleCurrent();
    SetWindowLongPtrA(window, GWL_STYLE, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_DLGFRAME);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
}

// The beep says the load is over, so the rows are on screen before it. The paint messages go
// straight to the windows and no input is read, so nothing given during the load gets through
// before the event loop; left to the loop, the paint would come after any waiting input.
static void MainWindowPaint() {
    RedrawWindow(WindowHandleCurrent(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// DRUX.exe [file]: the file named on the command line, else "Constants.out" in the current
// directory. A name that can't be opened, or names no disk file, reads like a missing file: an
// empty list.
static void ConstantsFileNameSet() {
    static char* argumentName = nullptr;
    app.constantsFileName = "Constants.out";
    char* start = TextCursor();
    char* argument = CommandLineArgument(GetCommandLineA(), 1, start);
    // Without memory for the name, no file rather than the wrong one.
    if (argument) app.constantsFileName = TextAssign(&argumentName, start) ? argumentName : "";
    TextCursorSet(start);
}

static void ApplicationRun() {
    app.compareTextA = (char*)MemoryAllocate(128);
    app.compareTextB = (char*)MemoryAllocate(128);
    ConstantsFileNameSet();
    TextSet(&app.searchText, "");
    app.lastHitRow = -1;
    app.windowWidth = 470;
    app.windowHeight = 360;

    if (!MainWindowOpen()) return;
    ShortcutsBind();
    BackgroundPaint();
    ListParentAndFont();
    BackgroundWidgetCreate();
    ListCreate();
    app.sortDirection = 1;
    app.sortColumn = 0;
    WindowSetCallback(MainWindowCallback);
    MainWindowFrameChange();
    EventsDrain();
    WindowShow(WINDOW_MAIN, 0);
    ListValueColumnsAlign();
    // No re-indexing after the load: every row went in with its index as its key, and every
    // sort during the load re-keyed the rows, so the keys already stand as it would leave them.
    ConstantsLoad();
    app.rowCount = WidgetItemCount(WIDGET_LIST);
    MainWindowPaint();
    MessageBeep(MB_ICONASTERISK);
    PopupMenuBuild();
    EventLoop();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WidgetLibraryInstall();
    WindowLibraryInstall();
    if (RuntimeStart(instance)) ApplicationRun();
    // Everything goes with the process; nothing is released one by one.
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
