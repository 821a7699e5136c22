// The constants browser's state, shared by its start-up, loading, find, sorting and commands.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <stdint.h>
#include "runtime/ObjectTable.h"

// Object numbers, per kind.
const ObjectNumber WINDOW_MAIN = 0;
const ObjectNumber IMAGE_BACKGROUND = 0;
const ObjectNumber FONT_LIST = 0;
const ObjectNumber WIDGET_BACKGROUND = 1;
const ObjectNumber WIDGET_LIST = 2;
const ObjectNumber FILE_CONSTANTS = 0;
const ObjectNumber MENU_POPUP = 5;

// Menu identifiers delivered with EVENT_MENU.
const int32_t MENU_FIND = 3;
const int32_t MENU_EXIT = 4;
const int32_t SHORTCUT_FIND = 6;
const int32_t SHORTCUT_ESCAPE = 0x1B;
const int32_t SHORTCUT_FIND_NEXT = 0x72;
const int32_t SHORTCUT_COPY = 0x43;

// The list keeps this margin to the window's inner edges.
const int32_t LIST_MARGIN = 25;

struct AppState {
    const char* constantsFileName;
    char* searchText;  // owned text variable
    int32_t lastHitRow;
    int32_t rowCount;
    int32_t sortDirection;
    int32_t sortColumn;
    int32_t quitRequested;
    HWND listHandle;
    intptr_t backgroundImage;
    char* compareTextA;  // 128-byte blocks for the sort comparison
    char* compareTextB;
    LVITEMA itemRecord;  // shared by the sort comparison and the re-indexing
    int32_t windowWidth;
    int32_t windowHeight;
};

extern AppState app;

// Dispatches queued messages until none is left; the events they produce are dropped.
void EventsDrain();
