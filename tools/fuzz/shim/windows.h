// The few KERNEL32/USER32 calls the runtime's heaps, files and texts make, over the host's C
// library, so that the runtime builds natively with the sanitizers for fuzzing. Heaps hand out
// one malloc block per allocation, so the address sanitizer sees every block's exact end.
#pragma once
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>

typedef void* HANDLE;
typedef HANDLE HINSTANCE;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int64_t LONGLONG;
typedef LONG* PLONG;
typedef int BOOL;
typedef size_t SIZE_T;
typedef void* LPVOID;
typedef DWORD* LPDWORD;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef union {
    LONGLONG QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

#define TRUE 1
#define FALSE 0
#define WINAPI
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define HEAP_ZERO_MEMORY 0x00000008
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define FILE_TYPE_DISK 1
#define FILE_TYPE_PIPE 3

HANDLE HeapCreate(DWORD options, SIZE_T initial, SIZE_T maximum);
BOOL HeapDestroy(HANDLE heap);
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
LPVOID HeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
SIZE_T HeapSize(HANDLE heap, DWORD flags, const void* block);

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD sharing, void* security, DWORD disposition,
                   DWORD attributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD length, LPDWORD read, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method);
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method);
DWORD GetFileType(HANDLE file);
DWORD GetFileSize(HANDLE file, LPDWORD high);
BOOL CloseHandle(HANDLE handle);

// Only the conversions the text engine asks for (%ld, %lu, %lX), which vsnprintf shares.
int wvsprintfA(LPSTR out, LPCSTR format, va_list arguments);

// A handle over a descriptor the caller opened (a pipe end, for example); closed by CloseHandle.
HANDLE ShimHandleFromDescriptor(int descriptor);
