// The widget and graphics libraries in the runtime's start and end order.
#include "widget/WidgetLibrary.h"
#include "runtime/Runtime.h"
#include "widget/Drawing.h"
#include "widget/Font.h"
#include "widget/Image.h"
#include "widget/Widget.h"

void WidgetLibraryInstall() {
    RuntimeLibraryInstall(RUNTIME_LIBRARY_DRAWING, DrawingLibraryStart, nullptr);
    RuntimeLibraryInstall(RUNTIME_LIBRARY_FONTS, FontLibraryStart, FontFreeAll);
    // Widgets need no release: closing their windows destroys the controls and their records.
    RuntimeLibraryInstall(RUNTIME_LIBRARY_WIDGETS, WidgetLibraryStart, nullptr);
    RuntimeLibraryInstall(RUNTIME_LIBRARY_IMAGES, ImageLibraryStart, ImageFreeAll);
}
