/* Keeps Wine's virtual desktop alive between test programs: the desktop closes when its last
   program ends, and with it the mouse position. Waits until its wineserver is stopped.
   DesktopKeeper.exe [ready file]: the file is made once the desktop is up, so that no program
   started after that starts the desktop process (which would inherit that program's output). */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)show;
    WNDCLASSA wc = {0};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "DruxDesktopKeeper";
    RegisterClassA(&wc);
    /* A hidden top-level window makes this a GUI program of the desktop; Wine starts the desktop
       process for the first one and returns once it is there. */
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1,
                                  NULL, NULL, instance, NULL);
    if (window && commandLine && *commandLine) {
        /* A path with spaces comes quoted. */
        char path[MAX_PATH];
        lstrcpynA(path, commandLine + (*commandLine == '"'), MAX_PATH);
        char* quote = path;
        while (*quote && *quote != '"') quote++;
        *quote = 0;
        HANDLE ready =
            CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    }
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
