// Keeps a list control's sort sound for comparison procedures that read rows by index.
#pragma once
#include <windows.h>

// While the control sorts (LVM_SORTITEMS), it moves rows between the comparisons, so a comparison
// procedure that reads texts by row index (its keys being the row indexes as the sort began) would
// read the wrong rows. After this, the control answers LVM_GETITEMTEXTA during its own sort with
// the texts as they stood when the sort began.
void ListSortGuardInstall(HWND control);
