#include "window/Sizing.h"

// Sizing is not run by the layer yet: every message goes on to the callback and the layer.
LRESULT SizingPass(HWND, UINT, WPARAM, LPARAM) { return HANDLER_DEFAULT; }
