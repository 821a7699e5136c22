// The clipboard: text handed to other programs.
#pragma once
#include "runtime/ObjectTable.h"
#include "window/WindowTypes.h"

// Replaces the clipboard's contents with length bytes of text (a terminating zero is added) as
// CF_TEXT, owned by the open window of that number. Returns 1, or 0 when the number has no open
// window, the memory can't be had or another program keeps the clipboard open; the clipboard then
// keeps what it held. Should the platform refuse the text after the clipboard was emptied (the
// only way to take it over), 0 as well, and the text it held is put back; other formats it held
// (an image, files) are lost.
int32_t ClipboardTextSet(ObjectNumber window, const char* text, int32_t length);
