// The order in which the runtime brings its heaps and the libraries up and down.
#include <string>

#include "RuntimeFixture.h"
#include "runtime/File.h"

namespace {

std::string steps;

// Each step notes which of the runtime's own pieces exist when the library runs.
void Note(const char* name) {
    steps += name;
    steps += "(";
    steps += MainHeap != nullptr ? "M" : "-";
    steps += ObjectHeap != nullptr ? "O" : "-";
    steps += MemoryHeap != nullptr ? "Y" : "-";
    steps += WorkBuffer != nullptr ? "W" : "-";
    steps += ") ";
}

void DrawingStart() {
    Note("drawing");
}
void FontsStart() {
    Note("fonts");
}
void WindowsStart() {
    Note("windows");
}
void WidgetsStart() {
    Note("widgets");
}
void ImagesStart() {
    Note("images");
}
void MenusStart() {
    Note("menus");
}
void FontsRelease() {
    Note("~fonts");
}
void WindowsRelease() {
    Note("~windows");
}
void ImagesRelease() {
    Note("~images");
}

class RuntimeOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        RuntimeLibraryInstall(RUNTIME_LIBRARY_MENUS, MenusStart, nullptr);
        RuntimeLibraryInstall(RUNTIME_LIBRARY_IMAGES, ImagesStart, ImagesRelease);
        RuntimeLibraryInstall(RUNTIME_LIBRARY_WIDGETS, WidgetsStart, nullptr);
        RuntimeLibraryInstall(RUNTIME_LIBRARY_WINDOWS, WindowsStart, WindowsRelease);
        RuntimeLibraryInstall(RUNTIME_LIBRARY_FONTS, FontsStart, FontsRelease);
        RuntimeLibraryInstall(RUNTIME_LIBRARY_DRAWING, DrawingStart, nullptr);
        steps.clear();
    }
    void TearDown() override {
        for (int i = 0; i < RUNTIME_LIBRARY_COUNT; i++) {
            RuntimeLibraryInstall((RuntimeLibrary)i, nullptr, nullptr);
        }
    }
};

TEST_F(RuntimeOrderTest, StartAndEndRunInTheirOrder) {
    ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1);
    EXPECT_EQ(steps,
              "drawing(M---) fonts(MO--) windows(MO--) widgets(MO--) images(MO--) menus(MOY-) ");
    EXPECT_EQ(RuntimeInstance, GetModuleHandleA(nullptr));
    EXPECT_EQ(TextCursor(), WorkBuffer);
    for (int i = 0; i < WORK_BUFFER_SIZE; i += 997) ASSERT_EQ(WorkBuffer[i], 0) << i;

    steps.clear();
    RuntimeEnd();
    EXPECT_EQ(steps, "~images(MO-W) ~windows(MO-W) ~fonts(MO-W) ");
    EXPECT_EQ(ObjectHeap, nullptr);
    EXPECT_EQ(MemoryHeap, nullptr);
    RuntimeMainHeapDestroy();
    EXPECT_EQ(MainHeap, nullptr);
    EXPECT_EQ(WorkBuffer, nullptr);
}

TEST_F(RuntimeOrderTest, EndClosesTheFilesStillOpen) {
    char directory[MAX_PATH];
    char names[2][MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    for (char* name : names) ASSERT_NE(GetTempFileNameA(directory, "drx", 0, name), 0u);
    ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1);
    ASSERT_NE(FileOpenExclusive(3, names[0]), 0);
    ASSERT_NE(FileOpenExclusive(OBJECT_ANY, names[1]), 0);
    RuntimeEnd();
    RuntimeMainHeapDestroy();
    for (char* name : names) {
        SCOPED_TRACE(name);
        // Exclusive files: this open only succeeds once the runtime has closed them.
        HANDLE again = CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(again, INVALID_HANDLE_VALUE) << "the file is still held open";
        CloseHandle(again);
        DeleteFileA(name);
    }
}

TEST_F(RuntimeOrderTest, SecondStartBeginsAfresh) {
    ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1);
    TextAppend("left over");
    ASSERT_NE(MemoryAllocate(64), nullptr);
    steps.clear();
    ASSERT_EQ(RuntimeStart(GetModuleHandleA(nullptr)), 1);
    EXPECT_EQ(steps,
              "drawing(M---) fonts(MO--) windows(MO--) widgets(MO--) images(MO--) menus(MOY-) ");
    EXPECT_EQ(TextCursor(), WorkBuffer);
    EXPECT_EQ(WorkBuffer[0], 0);
    EXPECT_NE(MemoryAllocate(64), nullptr);
    RuntimeEnd();
    RuntimeMainHeapDestroy();
}

TEST(RuntimeBeforeStart, TextsReadEmptyWithoutAWorkBuffer) {
    ASSERT_EQ(WorkBuffer, nullptr);
    EXPECT_STREQ(TextAppend("text"), "");
    EXPECT_STREQ(TextSpaces(5), "");
    EXPECT_EQ(TextRoom(TextCursor()), 0);
    EXPECT_EQ(MemoryAllocate(16), nullptr);
}

}  // namespace
