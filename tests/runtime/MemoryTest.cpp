// Memory blocks and raw memory access.
#include <stdint.h>
#include <string.h>

#include <string>

#include "RuntimeFixture.h"

namespace {

using MemoryTest = RuntimeFixture;

TEST_F(MemoryTest, AllocateGivesZeroedBlocksForPositiveSizesOnly) {
    uint8_t* block = (uint8_t*)MemoryAllocate(128);
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 128; i++) EXPECT_EQ(block[i], 0) << i;
    EXPECT_GE(HeapSize(MemoryHeap, 0, block), 128u);
    EXPECT_EQ(MemoryAllocate(0), nullptr);
    EXPECT_EQ(MemoryAllocate(-5), nullptr);
}

TEST_F(MemoryTest, PeeksSignExtendAndReadLittleEndian) {
    // Odd offset: the reads must not depend on alignment.
    const uint8_t bytes[] = {0x00, 0x80, 0xFF, 0x7F, 0x01, 0x02,
                             0x03, 0x04, 0x00, 0x00, 0x80, 0x3F};
    intptr_t at = (intptr_t)bytes;
    struct Case {
        const char* name;
        int32_t actual;
        int32_t expected;
    };
    const Case cases[] = {
        {"byte 0x80", PeekByte(at + 1), -128},
        {"byte 0xFF", PeekByte(at + 2), -1},
        {"byte 0x7F", PeekByte(at + 3), 127},
        {"word 0xFF80", PeekWord(at + 1), -128},
        {"word 0x7FFF", PeekWord(at + 2), 0x7FFF},
        {"long", PeekLong(at + 4), 0x04030201},
        {"long with high bit", PeekLong(at + 1), (int32_t)0x017FFF80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual, c.expected);
    }
    EXPECT_EQ(PeekFloat(at + 8), 1.0f);
}

TEST_F(MemoryTest, PokesStoreLowBitsLittleEndian) {
    uint8_t bytes[12];
    memset(bytes, 0xEE, sizeof bytes);
    intptr_t at = (intptr_t)bytes;
    PokeByte(at + 1, 0x1234);
    PokeWord(at + 3, 0x7FFFABCD);
    PokeLong(at + 5, 0x04030201);
    const uint8_t expected[] = {0xEE, 0x34, 0xEE, 0xCD, 0xAB, 0x01, 0x02, 0x03, 0x04, 0xEE};
    EXPECT_EQ(memcmp(bytes, expected, sizeof expected), 0);
    PokeFloat(at + 1, -2.5f);
    EXPECT_EQ(PeekFloat(at + 1), -2.5f);
}

TEST_F(MemoryTest, PokeTextWritesItsZeroAndNoMore) {
    struct Case {
        const char* name;
        const char* text;
        int32_t length;
        const char* expected;  // what lands in the buffer, zero included
        int32_t written;
    };
    const Case cases[] = {
        {"three letters", "abc", -1, "abc", 3},
        {"six letters cut to three", "abcdef", 3, "abc", 3},
        {"length beyond the text", "ab", 10, "ab", 2},
        {"length 0", "abc", 0, "", 0},
        {"null text", nullptr, -1, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[16];
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(PokeText((intptr_t)buffer, c.text, c.length), c.written);
        size_t used = strlen(c.expected) + 1;
        EXPECT_EQ(memcmp(buffer, c.expected, used), 0);
        EXPECT_EQ(buffer[used], '#') << "written past the text's zero";
    }
}

TEST_F(MemoryTest, PeekTextCopiesToTheCursor) {
    const char* source = "hello";
    struct Case {
        const char* name;
        intptr_t address;
        int32_t length;
        const char* expected;
    };
    const Case cases[] = {
        {"whole text", (intptr_t)source, -1, "hello"},
        {"limited", (intptr_t)source, 3, "hel"},
        {"limit beyond the text", (intptr_t)source, 50, "hello"},
        {"length 0", (intptr_t)source, 0, ""},
        {"null address", 0, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char* start = TextCursor();
        char* copy = PeekText(c.address, c.length);
        EXPECT_EQ(copy, start);
        EXPECT_STREQ(copy, c.expected);
        EXPECT_EQ(TextCursor(), start + strlen(c.expected));
        TextCursorSet(start);
    }
}

TEST_F(MemoryTest, PeekTextOfAHugeTextIsCutAtTheBufferEnd) {
    std::string huge(200000, 'q');
    char* copy = PeekText((intptr_t)huge.c_str());
    EXPECT_EQ(copy, WorkBuffer);
    EXPECT_EQ(strlen(copy), (size_t)WORK_BUFFER_SIZE - 1);
    EXPECT_EQ(TextCursor(), WorkBuffer + WORK_BUFFER_SIZE - 1);
    EXPECT_TRUE(MainHeapIntact());
}

}  // namespace
