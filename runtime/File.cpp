// Numbered files over platform file handles, read without a buffer of our own.
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

// One platform read of up to length bytes; the count actually read (0 at the end or on error).
DWORD ReadBytes(HANDLE handle, void* buffer, DWORD length) {
    DWORD read = 0;
    if (!ReadFile(handle, buffer, length, &read, nullptr)) return 0;
    return read;
}

// A byte of the file, or 0 when none could be read (end of file and errors alike).
uint8_t ReadLineByte(HANDLE handle) {
    uint8_t byte = 0;
    if (ReadBytes(handle, &byte, 1) != 1) return 0;
    return byte;
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
    current = handle;
    return number == OBJECT_ANY ? ObjectIdentifier(record) : (intptr_t)handle;
}

}  // namespace

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

char* FileReadLine() {
    char* start = TextPut(nullptr, "", 0);
    if (current == nullptr) return start;
    int32_t room = TextRoom(start);
    int32_t stored = 0;
    uint8_t byte;
    // A line longer than the room is cut there, but read on to its end, so that the next call
    // starts at the next line rather than in the middle of this one.
    for (;;) {
        byte = ReadLineByte(current);
        if (byte == 0 || byte == '\r' || byte == '\n') break;
        if (stored < room - 1) start[stored++] = (char)byte;
    }
    TextPut(start, start, stored);
    if (byte == '\r') {
        uint8_t next;
        // A lone CR ends the line too: the byte after it, if any, begins the next line.
        if (ReadBytes(current, &next, 1) == 1 && next != '\n') StepBack(current);
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
    if (record != nullptr) current = record->handle;
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
