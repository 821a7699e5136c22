// The clipboard helper: exactly the given bytes as CF_TEXT, owned by the named window; and a
// refused copy leaves the clipboard as it was.
#include <string>

#include "WindowTestSupport.h"
#include "tests/support/ImportSlots.h"
#include "window/Clipboard.h"

namespace {

using windowtest::LayerTest;

// The program's SetClipboardData, refusing one format for the guard's scope and passing the
// others on.
UINT refusedFormat;
HANDLE(WINAPI* platformSetClipboardData)(UINT, HANDLE);

HANDLE WINAPI SetClipboardDataRefusing(UINT format, HANDLE data) {
    return format == refusedFormat ? nullptr : platformSetClipboardData(format, data);
}

// Points the program's SetClipboardData import at to; returns what the slot held (0: not imported).
ULONG_PTR SetClipboardDataSlotSet(ULONG_PTR to) {
    ULONG_PTR held = 0;
    return support::ImportsRedirect({{"SetClipboardData", to, &held}}).empty() ? 0 : held;
}

class ClipboardFormatRefused {
public:
    explicit ClipboardFormatRefused(UINT format) {
        refusedFormat = format;
        platformSetClipboardData = (HANDLE(WINAPI*)(UINT, HANDLE))SetClipboardDataSlotSet(
            (ULONG_PTR)&SetClipboardDataRefusing);
    }
    ~ClipboardFormatRefused() {
        if (platformSetClipboardData) SetClipboardDataSlotSet((ULONG_PTR)platformSetClipboardData);
        platformSetClipboardData = nullptr;
    }
    ClipboardFormatRefused(const ClipboardFormatRefused&) = delete;
    ClipboardFormatRefused& operator=(const ClipboardFormatRefused&) = delete;
    bool Redirected() const { return platformSetClipboardData != nullptr; }
};

std::string ClipboardRead(HWND* owner = nullptr) {
    if (!OpenClipboard(nullptr)) return "<the clipboard does not open>";
    std::string text = "<no text>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    if (owner) *owner = GetClipboardOwner();
    CloseClipboard();
    return text;
}

class ClipboardTest : public LayerTest {};

TEST_F(ClipboardTest, PutsTheGivenBytesOwnedByTheWindow) {
    HWND window =
        reinterpret_cast<HWND>(WindowOpen(3, 10, 10, 200, 100, WINDOW_INVISIBLE, "owner"));
    ASSERT_TRUE(window);
    struct CopyCase {
        const char* what;
        std::string text;
        int32_t length;
        std::string expected;
    };
    const std::string tabbed = "WM_USER\t1024\t0x400\r\n";
    const CopyCase cases[] = {
        {"a whole row line", tabbed, static_cast<int32_t>(tabbed.size()), tabbed},
        {"the first bytes only", "abcdef", 3, "abc"},
        {"an empty text", "xyz", 0, ""},
        {"a long text", std::string(100000, 'L'), 100000, std::string(100000, 'L')},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ClipboardTextSet(3, c.text.c_str(), c.length), 1);
        HWND owner = nullptr;
        EXPECT_EQ(ClipboardRead(&owner), c.expected);
        EXPECT_EQ(owner, window);
    }
}

TEST_F(ClipboardTest, ARefusedCopyLeavesTheClipboardAsItWas) {
    ASSERT_TRUE(WindowOpen(3, 10, 10, 200, 100, WINDOW_INVISIBLE, "owner"));
    ASSERT_EQ(ClipboardTextSet(3, "before", 6), 1);
    struct RefusedCase {
        const char* what;
        ObjectNumber window;
        const char* text;
        int32_t length;
    };
    const RefusedCase cases[] = {
        {"a number without a window", 4, "x", 1},
        {"no text", 3, nullptr, 1},
        {"a negative length", 3, "x", -1},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ClipboardTextSet(c.window, c.text, c.length), 0);
        EXPECT_EQ(ClipboardRead(), "before");
    }
    // Another program holding the clipboard open: the copy gives up after a few tries.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(ClipboardTextSet(3, "x", 1), 0);
    CloseClipboard();
    EXPECT_EQ(ClipboardRead(), "before");
    // The platform refusing the text itself, after the clipboard was emptied to take it over.
    {
        ClipboardFormatRefused refused(CF_TEXT);
        ASSERT_TRUE(refused.Redirected());
        EXPECT_EQ(ClipboardTextSet(3, "x", 1), 0);
    }
    EXPECT_EQ(ClipboardRead(), "before");
}

}  // namespace
