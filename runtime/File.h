// Numbered files read line by line. Disk files are read ahead a piece at a time; the library's own
// operations (seek, position, byte and data reads) know of it, so a caller moves the position with
// FileSeek, not on the handle directly. Line reads leave the platform's position ahead of the
// library's; FileUse gives it back before it hands out the handle, so a caller that works on the
// handle itself (the one an open returned included) takes it from FileUse first.
#pragma once
#include <stdint.h>
#include "runtime/ObjectTable.h"

extern ObjectTable& FileTable;  // the kind's table (bound 10, step 10)

void FileLibraryInit();  // file table (bound 10), no current file; called by RuntimeStart

intptr_t FileOpenRead(ObjectNumber number, const char* name);       // GENERIC_READ, OPEN_EXISTING
intptr_t FileOpen(ObjectNumber number, const char* name);           // read/write, OPEN_ALWAYS
intptr_t FileCreate(ObjectNumber number, const char* name);         // write, CREATE_ALWAYS
intptr_t FileOpenExclusive(ObjectNumber number, const char* name);  // read/write, no sharing

// Next line of the current file in the WorkBuffer at its cursor, without its line end.
// A line longer than the room left in the WorkBuffer is cut there; the rest of it is consumed.
char* FileReadLine();
// count lines joined by line feeds, the same text as count FileReadLine calls with a line feed
// appended after each but the last.
char* FileReadLines(int32_t count);
int32_t FileAtEnd(ObjectNumber number);  // -1 at the end, 0 otherwise (and for a closed number)
// 1 for a disk file, 0 for anything else (a pipe, a console or another device, whose end may never
// come) and for a closed number. Known since the open: it asks nothing of the platform.
int32_t FileIsDisk(ObjectNumber number);
void FileClose(ObjectNumber number);
void FileCloseAll();

// Makes the file current; returns the current handle, its platform position the library's.
intptr_t FileUse(ObjectNumber number);
void FileSeek(int32_t position);
int32_t FilePosition();  // -1 without a current file
int32_t FileSize();      // -1 without a current file
int32_t FileReadData(void* buffer, int32_t length);
int32_t FileReadByte();
int32_t FileReadWord();
int32_t FileReadLong();
float FileReadFloat();
