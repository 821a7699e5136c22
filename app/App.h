// The constants browser's operations, grouped by what they do.
#pragma once
#include "app/AppState.h"

// Start-up pieces, in the order the program runs them.
void ShortcutsBind();           // Esc, F3, Ctrl+F, Ctrl+C on the main window
void BackgroundPaint();         // the background image: blue rings and a pale edge line
void ListParentAndFont();       // widgets go on the main window, in the small list font
void BackgroundWidgetCreate();  // the image widget behind the list
void ListCreate();              // the three-column list; sets listHandle
void ListValueColumnsAlign();   // right-aligns the two value columns
void ConstantsLoad();           // fills the list from the constants file
void PopupMenuBuild();          // "Find" / "Exit"

// While held, the list does not repaint; releasing the last hold repaints it. Holds nest.
void ListRedrawHold();
void ListRedrawRelease();
// Repaints the list once now, even while it is held.
void ListRedrawRefresh();

// Find.
void SearchAsk();
void SearchNext();
void SearchFindNext();

// Copy: the selected row to the clipboard.
void SelectionCopy();

// Sorting.
void ColumnClickHandle(int32_t column);
int CALLBACK RowsCompare(LPARAM key1, LPARAM key2, LPARAM column);
int32_t RowsReindex();

// Commands and the window callback.
void CommandDispatch(int32_t identifier);
LRESULT CALLBACK MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
