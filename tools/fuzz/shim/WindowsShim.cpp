// Host implementations of the platform calls declared in the shim's windows.h.
#include "windows.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <unordered_map>

namespace {

// A heap: its live blocks and their sizes, so that HeapDestroy frees them all as the platform does.
struct Heap {
    std::unordered_map<void*, size_t> blocks;
};

int Descriptor(HANDLE file) {
    return (int)(intptr_t)file - 1;
}

}  // namespace

HANDLE HeapCreate(DWORD, SIZE_T, SIZE_T) {
    return new Heap;
}

BOOL HeapDestroy(HANDLE heap) {
    Heap* h = (Heap*)heap;
    for (auto& block : h->blocks) free(block.first);
    delete h;
    return TRUE;
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    void* block =
        (flags & HEAP_ZERO_MEMORY) ? calloc(1, bytes ? bytes : 1) : malloc(bytes ? bytes : 1);
    if (block != nullptr) ((Heap*)heap)->blocks[block] = bytes;
    return block;
}

LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes) {
    Heap* h = (Heap*)heap;
    auto found = h->blocks.find(block);
    if (found == h->blocks.end()) return nullptr;
    size_t old = found->second;
    void* grown = realloc(block, bytes ? bytes : 1);
    if (grown == nullptr) return nullptr;
    h->blocks.erase(found);
    h->blocks[grown] = bytes;
    if ((flags & HEAP_ZERO_MEMORY) && bytes > old) memset((char*)grown + old, 0, bytes - old);
    return grown;
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID block) {
    if (((Heap*)heap)->blocks.erase(block) == 0) return FALSE;
    free(block);
    return TRUE;
}

SIZE_T HeapSize(HANDLE heap, DWORD, const void* block) {
    Heap* h = (Heap*)heap;
    auto found = h->blocks.find((void*)block);
    return found == h->blocks.end() ? (SIZE_T)-1 : found->second;
}

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD, void*, DWORD disposition, DWORD, HANDLE) {
    int mode = (access & GENERIC_WRITE) ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY;
    if (disposition == CREATE_ALWAYS) mode |= O_CREAT | O_TRUNC;
    if (disposition == OPEN_ALWAYS) mode |= O_CREAT;
    int descriptor = open(name, mode, 0644);
    return descriptor < 0 ? INVALID_HANDLE_VALUE : ShimHandleFromDescriptor(descriptor);
}

HANDLE ShimHandleFromDescriptor(int descriptor) {
    return (HANDLE)(intptr_t)(descriptor + 1);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD length, LPDWORD read, void*) {
    ssize_t got = ::read(Descriptor(file), buffer, length);
    *read = got > 0 ? (DWORD)got : 0;
    return got >= 0;
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG, DWORD method) {
    int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_END ? SEEK_END : SEEK_CUR;
    off_t position = lseek(Descriptor(file), distance, whence);
    return position < 0 ? INVALID_SET_FILE_POINTER : (DWORD)position;
}

BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method) {
    int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_END ? SEEK_END : SEEK_CUR;
    off_t at = lseek(Descriptor(file), (off_t)distance.QuadPart, whence);
    if (at < 0) return FALSE;
    if (position != nullptr) position->QuadPart = at;
    return TRUE;
}

DWORD GetFileType(HANDLE file) {
    struct stat status;
    if (fstat(Descriptor(file), &status) != 0) return 0;
    return S_ISREG(status.st_mode) ? FILE_TYPE_DISK : FILE_TYPE_PIPE;
}

DWORD GetFileSize(HANDLE file, LPDWORD) {
    struct stat status;
    if (fstat(Descriptor(file), &status) != 0) return (DWORD)-1;
    return (DWORD)status.st_size;
}

BOOL CloseHandle(HANDLE handle) {
    return close(Descriptor(handle)) == 0;
}

int wvsprintfA(LPSTR out, LPCSTR format, va_list arguments) {
    // The platform writes at most 1024 bytes; the engine's formats need a dozen.
    return vsnprintf(out, 1024, format, arguments);
}
