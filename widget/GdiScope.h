// Scoped owners for the short-lived device contexts and selections that a single function uses:
// each is given back on every path out of the function.
#pragma once
#include <windows.h>

// An information context for the whole screen (CreateDCA "DISPLAY"), deleted at scope end.
class ScreenDc {
public:
    ScreenDc() : dc_(CreateDCA("DISPLAY", nullptr, nullptr, nullptr)) {}
    ~ScreenDc() {
        if (dc_) DeleteDC(dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A memory context compatible with another (null: the screen), deleted at scope end unless
// released to a longer-lived owner.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatible = nullptr) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    // Hands the context on; the guard no longer deletes it.
    HDC release() {
        HDC kept = dc_;
        dc_ = nullptr;
        return kept;
    }

private:
    HDC dc_;
};

// An object selected into a context, with the one it replaced put back at scope end. A bitmap
// still selected into a context cannot be deleted, so the restore must come first.
class DcSelection {
public:
    DcSelection(HDC dc, HGDIOBJ object) : dc_(dc), replaced_(SelectObject(dc, object)) {}
    ~DcSelection() {
        if (replaced_) SelectObject(dc_, replaced_);
    }
    DcSelection(const DcSelection&) = delete;
    DcSelection& operator=(const DcSelection&) = delete;

    // False when the object could not be selected (nothing is restored then).
    explicit operator bool() const { return replaced_ != nullptr; }
    // Keeps the object selected past the scope.
    void keep() { replaced_ = nullptr; }

private:
    HDC dc_;
    HGDIOBJ replaced_;
};
