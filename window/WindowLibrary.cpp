// The window and menu layers in the runtime's start and end order.
#include "window/WindowLibrary.h"
#include "runtime/Runtime.h"
#include "window/Menu.h"
#include "window/Window.h"

void WindowLibraryInstall() {
    RuntimeLibraryInstall(RUNTIME_LIBRARY_WINDOWS, WindowLayerInit, WindowCloseAll);
    // Menus are not released at program end: they go with the process.
    RuntimeLibraryInstall(RUNTIME_LIBRARY_MENUS, MenuLayerInit, nullptr);
}
