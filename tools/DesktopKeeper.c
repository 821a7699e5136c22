/* Keeps Wine's virtual desktop alive between test programs: the desktop closes when its last
   program ends, and with it the mouse position. Waits until its wineserver is stopped. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)commandLine;
    (void)show;
    WNDCLASSA wc = {0};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "DruxDesktopKeeper";
    RegisterClassA(&wc);
    /* A hidden top-level window makes this a GUI program of the desktop. */
    CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                    instance, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
