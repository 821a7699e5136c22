// Numbered files over platform file handles, read ahead a piece at a time. Line reads leave the
// platform position ahead of the library's; it is put back when the handle is handed out, the
// position asked for, or bytes read past what is held.
#include "runtime/File.h"

#include <windows.h>
#include <string.h>

#include "runtime/Memory.h"
#include "runtime/Text.h"

namespace {

// What the library keeps of an open file between calls: its handle and the bytes read from the
// platform but not yet given to the caller. Under Wine every platform read or seek costs a few
// microseconds whatever its size, so a disk file is read a large piece at a time. Line reads leave
// the platform position at the end of that piece; it is set back to the library's own (one seek)
// before anything else looks at it: a data read, a position query, or the handle handed out by
// FileUse. A handle that cannot seek (pipe, console, device) is read byte by byte, and the one
// byte looked at past a line end stays here, since it cannot be given back.
struct FileReader {
    HANDLE handle;
    bool seekable;
    LONGLONG platform;  // where the platform position stands (seekable handles)
    LONGLONG start;     // file offset of bytes[0] (seekable handles)
    DWORD have;         // bytes held
    DWORD used;         // of which given out; the library's position is start + used
    uint8_t bytes[16384];
};

struct FileRecord {
    HANDLE handle;  // non-zero while open
    FileReader* reader;
};

ObjectTable files;
FileReader* current = nullptr;

// One platform read of up to length bytes; the count actually read (0 at the end or on error).
DWORD ReadBytes(HANDLE handle, void* buffer, DWORD length) {
    DWORD read = 0;
    if (!ReadFile(handle, buffer, length, &read, nullptr)) return 0;
    return read;
}

void ReaderSeek(FileReader* reader, LONGLONG position) {
    LARGE_INTEGER to, now;
    to.QuadPart = position;
    if (SetFilePointerEx(reader->handle, to, &now, FILE_BEGIN)) reader->platform = now.QuadPart;
}

// Whether the handle can seek is asked once, at the open: under Wine GetFileType is a round trip
// to the server.
FileReader* ReaderMake(HANDLE handle) {
    FileReader* reader = (FileReader*)HeapAlloc(MainHeap, 0, sizeof(FileReader));
    if (!reader) return nullptr;
    reader->handle = handle;
    reader->seekable = GetFileType(handle) == FILE_TYPE_DISK;
    reader->platform = 0;  // a file just opened stands at its start
    reader->start = 0;
    reader->have = 0;
    reader->used = 0;
    return reader;
}

// Reads the next piece into the reader; the count read (0 at the end or on error).
DWORD ReaderFill(FileReader* reader) {
    if (!reader->seekable) {
        reader->have = ReadBytes(reader->handle, reader->bytes, 1);
        reader->used = 0;
        return reader->have;
    }
    LONGLONG at = reader->start + reader->have;
    if (reader->platform != at) ReaderSeek(reader, at);
    DWORD read = 0;
    if (reader->platform == at) {
        read = ReadBytes(reader->handle, reader->bytes, sizeof reader->bytes);
    }
    reader->start = at;
    reader->have = read;
    reader->used = 0;
    reader->platform = at + read;
    return read;
}

// The next byte, or false at the end of the file or on a read error.
bool ReaderNext(FileReader* reader, uint8_t* byte) {
    if (reader->used == reader->have && ReaderFill(reader) == 0) return false;
    *byte = reader->bytes[reader->used++];
    return true;
}

// Puts the platform position back on the library's own: before a read that goes to the platform
// past the held bytes, before the handle is handed out, and before the position is reported.
void ReaderSettle(FileReader* reader) {
    if (!reader->seekable) return;
    LONGLONG position = reader->start + reader->used;
    if (reader->platform != position) ReaderSeek(reader, position);
}

// Forgets what is held for a seekable handle, whose platform position is the library's own.
void ReaderDrop(FileReader* reader) {
    if (!reader->seekable) return;
    reader->start = reader->platform;
    reader->have = 0;
    reader->used = 0;
}

// Up to length bytes in order: held bytes first, then the platform's.
DWORD ReaderTake(FileReader* reader, void* buffer, DWORD length) {
    uint8_t* out = (uint8_t*)buffer;
    DWORD copied = 0;
    while (copied < length && reader->used < reader->have) {
        out[copied++] = reader->bytes[reader->used++];
    }
    ReaderSettle(reader);
    ReaderDrop(reader);
    if (copied < length) {
        DWORD read = ReadBytes(reader->handle, out + copied, length - copied);
        copied += read;
        if (reader->seekable) {
            reader->platform += read;
            reader->start = reader->platform;
        }
    }
    return copied;
}

void ReaderFree(FileReader* reader) {
    if (current == reader) current = nullptr;
    if (reader) HeapFree(MainHeap, 0, reader);
}

intptr_t FileOpenWith(ObjectNumber number, const char* name, DWORD access, DWORD sharing,
                      DWORD disposition) {
    current = nullptr;
    if (name == nullptr) return 0;
    HANDLE handle =
        CreateFileA(name, access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    FileReader* reader = ReaderMake(handle);
    FileRecord* record = reader ? (FileRecord*)ObjectCreate(&files, number) : nullptr;
    if (record == nullptr) {
        ReaderFree(reader);
        CloseHandle(handle);
        return 0;
    }
    // The old file under this number goes only once the new one is open; closing does not move
    // the slot array, so record stays valid.
    if (number != OBJECT_ANY) FileClose(number);
    record->handle = handle;
    record->reader = reader;
    current = reader;
    return number == OBJECT_ANY ? ObjectIdentifier(record) : (intptr_t)handle;
}

}  // namespace

ObjectTable& FileTable = files;

void FileLibraryInit() {
    ObjectTableInit(&files, (int32_t)sizeof(FileRecord), 10, 10, 1, 1);
    current = nullptr;
}

intptr_t FileOpenRead(ObjectNumber number, const char* name) {
    return FileOpenWith(number, name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

intptr_t FileOpen(ObjectNumber number, const char* name) {
    return FileOpenWith(number, name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
}

intptr_t FileCreate(ObjectNumber number, const char* name) {
    return FileOpenWith(number, name, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}

intptr_t FileOpenExclusive(ObjectNumber number, const char* name) {
    return FileOpenWith(number, name, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
}

namespace {

// One line into the WorkBuffer at its cursor; the platform position is not yet settled.
char* LineRead(FileReader* reader) {
    char* start = TextPut(nullptr, "", 0);
    if (reader == nullptr) return start;
    int32_t room = TextRoom(start);
    int32_t stored = 0;
    uint8_t byte = 0;
    // A line longer than the room is cut there, but read on to its end, so that the next call
    // starts at the next line rather than in the middle of this one.
    for (;;) {
        if (!ReaderNext(reader, &byte)) byte = 0;
        if (byte == 0 || byte == '\r' || byte == '\n') break;
        if (stored < room - 1) start[stored++] = (char)byte;
    }
    TextPut(start, start, stored);
    if (byte == '\r') {
        uint8_t next;
        // A lone CR ends the line too: the byte after it, if any, begins the next line.
        if (ReaderNext(reader, &next) && next != '\n') reader->used--;
    }
    return start;
}

FileReader* ReaderOf(ObjectNumber number) {
    FileRecord* record = (FileRecord*)ObjectLookup(&files, number);
    return record ? record->reader : nullptr;
}

}  // namespace

char* FileReadLine() {
    return LineRead(current);
}

char* FileReadLines(int32_t count) {
    if (count <= 0) return TextPut(nullptr, "", 0);
    char* start = TextCursor();
    for (int32_t line = 0; line < count; line++) {
        if (line > 0) TextAppend("\n");
        LineRead(current);
    }
    return start;
}

int32_t FileAtEnd(ObjectNumber number) {
    FileReader* reader = ReaderOf(number);
    if (reader == nullptr) return 0;
    if (reader->used < reader->have) return 0;
    return ReaderFill(reader) == 0 ? -1 : 0;
}

int32_t FileIsDisk(ObjectNumber number) {
    FileReader* reader = ReaderOf(number);
    return reader != nullptr && reader->seekable ? 1 : 0;
}

void FileClose(ObjectNumber number) {
    if (number == OBJECT_ANY) return;
    FileRecord* record = (FileRecord*)ObjectLookup(&files, number);
    if (record == nullptr) return;
    HANDLE handle = record->handle;
    FileReader* reader = record->reader;
    CloseHandle(handle);
    ObjectRemove(&files, number);
    ReaderFree(reader);
}

void FileCloseAll() {
    ObjectReleaseAll(&files, FileClose, true);
}

intptr_t FileUse(ObjectNumber number) {
    FileRecord* record = (FileRecord*)ObjectLookup(&files, number);
    if (record != nullptr) current = record->reader;
    if (!current) return 0;
    // The handle leaves the library: from here on its platform position must be the library's.
    ReaderSettle(current);
    return (intptr_t)current->handle;
}

void FileSeek(int32_t position) {
    if (current == nullptr) return;
    if (!current->seekable) {
        SetFilePointer(current->handle, position, nullptr, FILE_BEGIN);
        return;
    }
    ReaderDrop(current);
    ReaderSeek(current, position);
    ReaderDrop(current);
}

int32_t FilePosition() {
    if (current == nullptr) return -1;
    ReaderSettle(current);
    return (int32_t)SetFilePointer(current->handle, 0, nullptr, FILE_CURRENT);
}

int32_t FileSize() {
    if (current == nullptr) return -1;
    return (int32_t)GetFileSize(current->handle, nullptr);
}

int32_t FileReadData(void* buffer, int32_t length) {
    if (current == nullptr || buffer == nullptr || length <= 0) return 0;
    return (int32_t)ReaderTake(current, buffer, (DWORD)length);
}

int32_t FileReadByte() {
    int8_t value = 0;
    if (current != nullptr) ReaderTake(current, &value, 1);
    return value;
}

// Little-endian reads; bytes that could not be read stay 0.
int32_t FileReadWord() {
    uint8_t bytes[2] = {0, 0};
    if (current != nullptr) ReaderTake(current, bytes, 2);
    return (int16_t)(uint16_t)(bytes[0] | bytes[1] << 8);
}

int32_t FileReadLong() {
    uint8_t bytes[4] = {0, 0, 0, 0};
    if (current != nullptr) ReaderTake(current, bytes, 4);
    return (int32_t)((uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 |
                     (uint32_t)bytes[3] << 24);
}

float FileReadFloat() {
    uint8_t bytes[4] = {0, 0, 0, 0};
    if (current == nullptr || ReaderTake(current, bytes, 4) == 0) return 0.0f;
    float value;
    memcpy(&value, bytes, sizeof value);
    return value;
}
