// The item image lists that list widgets share: every bitmap or icon handle shown beside an item is
// added once, at the same index in a large and a small list.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <stdint.h>

// Index of a bitmap or icon handle in the item image lists, added on first use; -1 for 0 or on
// failure. Index 0 is a transparent placeholder.
int32_t ItemImageIndex(intptr_t image);
HIMAGELIST ItemImageListLarge();  // 0 until the first ItemImageIndex
HIMAGELIST ItemImageListSmall();
