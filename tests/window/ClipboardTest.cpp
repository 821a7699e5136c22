// The clipboard helper: exactly the given bytes as CF_TEXT, owned by the named window; and a
// refused copy leaves the clipboard as it was.
#include <string>

#include "WindowTestSupport.h"
#include "window/Clipboard.h"

namespace {

using windowtest::LayerTest;

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
}

}  // namespace
