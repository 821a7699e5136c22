// The image widget: a static picture control that shows a bitmap or icon handle.
#pragma once
#include <stdint.h>
#include "runtime/ObjectTable.h"

// A static picture control showing a bitmap or icon handle (or nothing for 0). It sends no
// notifications, so mouse input passes through to the window beneath it. WidgetStateSet with
// another handle changes the picture.
intptr_t ImageWidgetCreate(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                           intptr_t image, int32_t exStyle = 0);
