// The clipboard: text handed to other programs, through one movable global block per copy.
#include "window/Clipboard.h"
#include "window/Window.h"

namespace {

// Another program may hold the clipboard open for a moment (a clipboard viewer reading it, Wine's
// X selection bridge answering a request); a few short tries ride that out.
const int CLIPBOARD_OPEN_TRIES = 5;
const DWORD CLIPBOARD_OPEN_PAUSE_MS = 10;

// A global block that is freed unless the clipboard has taken it.
class GlobalBlock {
public:
    explicit GlobalBlock(SIZE_T size) : handle_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    explicit GlobalBlock(HGLOBAL handle) : handle_(handle) {}
    ~GlobalBlock() {
        if (handle_) GlobalFree(handle_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL Get() const { return handle_; }
    void Release() { handle_ = nullptr; }

private:
    HGLOBAL handle_;
};

class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner) : open_(false) {
        for (int attempt = 0; attempt < CLIPBOARD_OPEN_TRIES && !open_; attempt++) {
            if (attempt) Sleep(CLIPBOARD_OPEN_PAUSE_MS);
            open_ = OpenClipboard(owner) != FALSE;
        }
    }
    ~ClipboardSession() {
        if (open_) CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool Open() const { return open_; }

private:
    bool open_;
};

bool BlockFill(HGLOBAL block, const char* text, int32_t length) {
    char* bytes = (char*)GlobalLock(block);
    if (!bytes) return false;
    CopyMemory(bytes, text, (SIZE_T)length);
    bytes[length] = 0;
    GlobalUnlock(block);
    return true;
}

// A copy of the text the open clipboard holds, or null. The platform derives each text format
// from any other, so the Unicode one keeps the text whichever program put it there.
HGLOBAL ClipboardTextCopy() {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const void* bytes = data ? GlobalLock(data) : nullptr;
    if (!bytes) return nullptr;
    SIZE_T size = GlobalSize(data);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    void* to = copy ? GlobalLock(copy) : nullptr;
    if (to) {
        CopyMemory(to, bytes, size);
        GlobalUnlock(copy);
    } else if (copy) {
        GlobalFree(copy);
        copy = nullptr;
    }
    GlobalUnlock(data);
    return copy;
}

}  // namespace

int32_t ClipboardTextSet(ObjectNumber window, const char* text, int32_t length) {
    WindowRecord* record = WindowLookup(window);
    if (!record || !text || length < 0) return 0;
    // Everything that can fail without touching the clipboard comes first, so that a failure
    // leaves the clipboard as it was.
    GlobalBlock block((SIZE_T)length + 1);
    if (!block.Get() || !BlockFill(block.Get(), text, length)) return 0;
    ClipboardSession session(record->window);
    if (!session.Open()) return 0;
    // Emptying frees what the clipboard held, so its text is kept until the new text is in.
    GlobalBlock earlier(ClipboardTextCopy());
    if (!EmptyClipboard()) return 0;
    if (SetClipboardData(CF_TEXT, block.Get())) {
        // The system owns the block now.
        block.Release();
        return 1;
    }
    if (earlier.Get() && SetClipboardData(CF_UNICODETEXT, earlier.Get())) earlier.Release();
    return 0;
}
