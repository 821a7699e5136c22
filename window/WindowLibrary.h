// Puts the window and menu layers into the runtime's start and end order.
#pragma once

// Call before RuntimeStart.
void WindowLibraryInstall();
