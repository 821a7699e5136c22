// Numbered files over platform file handles, read without a buffer kept between calls.
#include "runtime/File.h"

#include <windows.h>
#include <string.h>

#include "runtime/Text.h"

namespace {

struct FileRecord {
    HANDLE handle;  // non-zero while open
};

ObjectTable files;
HANDLE current = nullptr;
// Whether lines of the current file are read a piece at a time (disk files; see LineReader).
// Asked once when a file becomes current: under Wine GetFileType is a round trip to the server.
bool currentInPieces = false;

void CurrentSet(HANDLE handle) {
    current = handle;
    currentInPieces = handle != nullptr && GetFileType(handle) == FILE_TYPE_DISK;
}

// One platform read of up to length bytes; the count actually read (0 at the end or on error).
DWORD ReadBytes(HANDLE handle, void* buffer, DWORD length) {
    DWORD read = 0;
    if (!ReadFile(handle, buffer, length, &read, nullptr)) return 0;
    return read;
}

void StepBack(HANDLE handle) { SetFilePointer(handle, -1, nullptr, FILE_CURRENT); }

intptr_t FileOpenWith(ObjectNumber number, const char* name, DWORD access, DWORD sharing,
                      DWORD disposition) {
    current = nullptr;
    if (name == nullptr) return 0;
    HANDLE handle = CreateFileA(name, access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    FileRecord* record = (FileRecord*)ObjectCreate(&files, number);
    if (record == nullptr) {
        CloseHandle(handle);
        return 0;
    }
    // The old file under this number goes only once the new one is open; closing does not move
    // the slot array, so record stays valid.
    if (number != OBJECT_ANY) FileClose(number);
    record->handle = handle;
    CurrentSet(handle);
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

// The bytes of one line read, taken from the platform a piece at a time. Each platform read costs
// ~1.6 us under Wine whatever its size, so a disk file is read in pieces and the unused rest is
// given back with a seek when the line is done: between calls the platform's file position is
// still exactly ours. Other handles (pipes, devices) cannot seek back and are read byte by byte.
class LineReader {
public:
    LineReader(HANDLE file, bool inPieces) : handle(file), piece(inPieces ? sizeof bytes : 1) {}
    ~LineReader() {
        if (have > used) SetFilePointer(handle, -(LONG)(have - used), nullptr, FILE_CURRENT);
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next byte, or false at the end of the file or on a read error.
    bool Next(uint8_t* byte) {
        if (used == have) {
            have = ReadBytes(handle, bytes, piece);
            used = 0;
            if (have == 0) return false;
        }
        *byte = bytes[used++];
        return true;
    }
    // Gives the byte just taken back, so that it begins the next line.
    void Unread() {
        if (used > 0)
            used--;
        else
            StepBack(handle);
    }

private:
    HANDLE handle;
    DWORD piece;
    uint8_t bytes[512];
    DWORD have = 0;
    DWORD used = 0;
};

}  // namespace

char* FileReadLine() {
    char* start = TextPut(nullptr, "", 0);
    if (current == nullptr) return start;
    int32_t room = TextRoom(start);
    int32_t stored = 0;
    uint8_t byte = 0;
    LineReader reader(current, currentInPieces);
    // A line longer than the room is cut there, but read on to its end, so that the next call
    // starts at the next line rather than in the middle of this one.
    for (;;) {
        if (!reader.Next(&byte)) byte = 0;
        if (byte == 0 || byte == '\r' || byte == '\n') break;
        if (stored < room - 1) start[stored++] = (char)byte;
    }
    TextPut(start, start, stored);
    if (byte == '\r') {
        uint8_t next;
        // A lone CR ends the line too: the byte after it, if any, begins the next line.
        if (reader.Next(&next) && next != '\n') reader.Unread();
    }
    return start;
}

int32_t FileAtEnd(ObjectNumber number) {
    FileRecord* record = (FileRecord*)ObjectLookup(&files, number);
    if (record == nullptr) return 0;
    uint8_t byte;
    if (ReadBytes(record->handle, &byte, 1) != 1) return -1;
    StepBack(record->handle);
    return 0;
}

void FileClose(ObjectNumber number) {
    if (number == OBJECT_ANY) return;
    FileRecord* record = (FileRecord*)ObjectLookup(&files, number);
    if (record == nullptr) return;
    HANDLE handle = record->handle;
    CloseHandle(handle);
    ObjectRemove(&files, number);
    if (current == handle) current = nullptr;
}

void FileCloseAll() { ObjectReleaseAll(&files, FileClose, true); }

intptr_t FileUse(ObjectNumber number) {
    FileRecord* record = (FileRecord*)ObjectLookup(&files, number);
    if (record != nullptr) CurrentSet(record->handle);
    return (intptr_t)current;
}

void FileSeek(int32_t position) {
    if (current != nullptr) SetFilePointer(current, position, nullptr, FILE_BEGIN);
}

int32_t FilePosition() {
    if (current == nullptr) return -1;
    return (int32_t)SetFilePointer(current, 0, nullptr, FILE_CURRENT);
}

int32_t FileSize() {
    if (current == nullptr) return -1;
    return (int32_t)GetFileSize(current, nullptr);
}

int32_t FileReadData(void* buffer, int32_t length) {
    if (current == nullptr || buffer == nullptr || length <= 0) return 0;
    return (int32_t)ReadBytes(current, buffer, (DWORD)length);
}

int32_t FileReadByte() {
    int8_t value = 0;
    if (current != nullptr) ReadBytes(current, &value, 1);
    return value;
}

// Little-endian reads; bytes that could not be read stay 0.
int32_t FileReadWord() {
    uint8_t bytes[2] = {0, 0};
    if (current != nullptr) ReadBytes(current, bytes, 2);
    return (int16_t)(uint16_t)(bytes[0] | bytes[1] << 8);
}

int32_t FileReadLong() {
    uint8_t bytes[4] = {0, 0, 0, 0};
    if (current != nullptr) ReadBytes(current, bytes, 4);
    return (int32_t)((uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 |
                     (uint32_t)bytes[3] << 24);
}

float FileReadFloat() {
    uint8_t bytes[4] = {0, 0, 0, 0};
    if (current == nullptr || ReadBytes(current, bytes, 4) == 0) return 0.0f;
    float value;
    memcpy(&value, bytes, sizeof value);
    return value;
}
