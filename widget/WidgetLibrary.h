// Places the widget and graphics libraries in the runtime's start and end order. Call before
// RuntimeStart.
#pragma once

void WidgetLibraryInstall();
