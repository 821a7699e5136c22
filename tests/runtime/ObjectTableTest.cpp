// Object tables: growth, slot reuse, dynamic records, stray numbers and the end release order.
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "KindTableCheck.h"
#include "RuntimeFixture.h"
#include "runtime/File.h"
#include "runtime/ObjectTable.h"
#include "tests/support/HeapSwap.h"

namespace {

// A record laid out as the kinds lay out theirs: native handle first, pointer-sized.
struct TestRecord {
    uintptr_t handle;
    uintptr_t payload;
};

// Table shapes the kinds use (their real tables are checked by each library's tests).
struct Kind {
    const char* name;
    int32_t bound;
    int32_t step;
    int32_t startSpare;
    int32_t growSpare;
};

const Kind kinds[] = {
    {"bound 10, step 30, spare 2", 10, 30, 2, 2},
    {"bound 30, step 30, spare 2", 30, 30, 2, 2},
    {"bound 10, step 10, spare 1", 10, 10, 1, 1},
    {"bound 10, step 30, spare 1/2", 10, 30, 1, 2},
};

size_t SlotBytes(const ObjectTable& table) {
    return HeapSize(MainHeap, 0, table.slots);
}

class ObjectTableTest : public RuntimeFixture {
protected:
    ObjectTable table{};

    void Init(const Kind& kind) {
        ASSERT_EQ(ObjectTableInit(&table, sizeof(TestRecord), kind.bound, kind.step,
                                  kind.startSpare, kind.growSpare),
                  1);
    }
    void Init() { Init(kinds[2]); }

    // Creates number and marks it present with handle.
    TestRecord* Make(ObjectNumber number, uintptr_t handle) {
        TestRecord* record = (TestRecord*)ObjectCreate(&table, number);
        if (record != nullptr) {
            record->handle = handle;
            record->payload = handle * 3;
        }
        return record;
    }
};

TEST_F(ObjectTableTest, EachKindGrowsByItsStepAndKeepsItsRecords) {
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        Init(kind);
        EXPECT_EQ(SlotBytes(table), (size_t)(kind.bound + kind.startSpare) * sizeof(TestRecord));
        for (ObjectNumber n = 0; n <= kind.bound; n++) EXPECT_EQ(ObjectLookup(&table, n), nullptr);

        for (ObjectNumber n = 0; n < kind.bound; n++) ASSERT_NE(Make(n, 100 + n), nullptr);
        EXPECT_EQ(table.bound, kind.bound) << "numbers below bound never grow the table";

        ASSERT_NE(ObjectCreate(&table, kind.bound), nullptr);
        EXPECT_EQ(table.bound, kind.bound + kind.step);
        EXPECT_EQ(SlotBytes(table), (size_t)(table.bound + kind.growSpare) * sizeof(TestRecord));
        for (ObjectNumber n = 0; n < kind.bound; n++) {
            TestRecord* record = (TestRecord*)ObjectLookup(&table, n);
            ASSERT_NE(record, nullptr) << n;
            EXPECT_EQ(record->handle, (uintptr_t)(100 + n));
            EXPECT_EQ(record->payload, (uintptr_t)(300 + 3 * n));
        }
        for (ObjectNumber n = kind.bound; n <= table.bound; n++) {
            EXPECT_EQ(ObjectLookup(&table, n), nullptr) << "fresh slots are zero: " << n;
        }
    }
}

TEST_F(ObjectTableTest, FarNumberGrowsToItPlusStep) {
    Init();
    ASSERT_NE(ObjectCreate(&table, 100), nullptr);
    EXPECT_EQ(table.bound, 110);
    EXPECT_EQ(SlotBytes(table), 111 * sizeof(TestRecord));
    for (ObjectNumber n = 0; n <= 110; n++) EXPECT_EQ(ObjectLookup(&table, n), nullptr) << n;
}

TEST_F(ObjectTableTest, RealFileTableHasItsShapeAndGrowsTo110ForNumber100) {
    KindTableCheck({"file", &FileTable, 10, 10, 1, 1});
    FileLibraryInit();
    char self[MAX_PATH];
    ASSERT_NE(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    ASSERT_NE(FileOpenRead(100, self), 0);
    EXPECT_EQ(FileTable.bound, 110);
    EXPECT_EQ(HeapSize(MainHeap, 0, FileTable.slots), 111 * (size_t)FileTable.recordSize);
    FileClose(100);
    for (ObjectNumber n = 0; n <= 110; n++) EXPECT_EQ(ObjectLookup(&FileTable, n), nullptr) << n;
}

TEST_F(ObjectTableTest, NeverInitialisedTableRefusesEveryCreation) {
    ObjectTable never{};
    for (ObjectNumber number : {(ObjectNumber)0, (ObjectNumber)5, (ObjectNumber)100, OBJECT_ANY}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(ObjectCreate(&never, number), nullptr);
        EXPECT_EQ(never.slots, nullptr);
        EXPECT_EQ(never.bound, 0);
        EXPECT_EQ(never.head, nullptr);
        EXPECT_EQ(ObjectLookup(&never, number), nullptr);
    }
}

TEST_F(ObjectTableTest, LiveDynamicIdentifierBelowARaisedBoundStaysDynamic) {
    // One-byte records keep a slot array that reaches past a heap address affordable.
    ASSERT_EQ(ObjectTableInit(&table, 1, 10, 10, 1, 1), 1);
    uint8_t* record = (uint8_t*)ObjectCreate(&table, OBJECT_ANY);
    ASSERT_NE(record, nullptr);
    *record = 0x5A;
    ObjectNumber identifier = ObjectIdentifier(record);
    ASSERT_LT(identifier, (ObjectNumber)INT32_MAX / 4) << "heap address out of reach of a slot";
    ASSERT_NE(ObjectCreate(&table, identifier + 1), nullptr);
    ASSERT_GT(table.bound, identifier);

    EXPECT_EQ(ObjectLookup(&table, identifier), record);
    int32_t bound = table.bound;
    EXPECT_EQ(ObjectCreate(&table, identifier), nullptr)
        << "a creation may not take a live object's name";
    EXPECT_EQ(table.bound, bound);
    EXPECT_EQ(ObjectLookup(&table, identifier), record);
    ObjectRemove(&table, identifier);
    EXPECT_EQ(table.head, nullptr) << "removal unlinks the dynamic record";
    EXPECT_EQ(ObjectLookup(&table, identifier), nullptr);
}

TEST_F(ObjectTableTest, CreatingUnderALiveDynamicIdentifierNeverGrowsTheTable) {
    // One-byte records: growing to a heap address would be affordable, so only the refusal stops
    // it.
    ASSERT_EQ(ObjectTableInit(&table, 1, 10, 10, 1, 1), 1);
    uint8_t* record = (uint8_t*)ObjectCreate(&table, OBJECT_ANY);
    ASSERT_NE(record, nullptr);
    *record = 9;
    uint8_t* slots = table.slots;
    EXPECT_EQ(ObjectCreate(&table, ObjectIdentifier(record)), nullptr);
    EXPECT_EQ(table.bound, 10);
    EXPECT_EQ(table.slots, slots);
    EXPECT_EQ(ObjectLookup(&table, ObjectIdentifier(record)), record);
    EXPECT_EQ(*record, 9);
}

TEST_F(ObjectTableTest, OpeningAFileUnderALiveDynamicIdentifierKeepsThatFile) {
    char self[MAX_PATH];
    ASSERT_NE(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    intptr_t identifier = FileOpenRead(OBJECT_ANY, self);
    ASSERT_NE(identifier, 0);
    HANDLE handle = (HANDLE)FileUse(identifier);
    EXPECT_EQ(FileOpenRead(identifier, self), 0);
    EXPECT_EQ(FileTable.bound, 10);
    EXPECT_EQ((HANDLE)FileUse(identifier), handle);
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(handle, &flags)) << "the file under the identifier was closed";
    FileClose(identifier);
    EXPECT_FALSE(GetHandleInformation(handle, &flags));
}

TEST_F(ObjectTableTest, RemovedSlotLooksUpEmptyAndIsReused) {
    Init();
    TestRecord* first = Make(3, 7);
    ASSERT_EQ(ObjectLookup(&table, 3), first);
    ObjectRemove(&table, 3);
    EXPECT_EQ(ObjectLookup(&table, 3), nullptr);
    EXPECT_EQ(first->payload, 21u) << "only the handle is cleared";
    EXPECT_EQ(ObjectCreate(&table, 3), first);
}

TEST_F(ObjectTableTest, DynamicRecordsFormANewestFirstList) {
    Init();
    TestRecord* older = Make(OBJECT_ANY, 1);
    TestRecord* newer = Make(OBJECT_ANY, 2);
    ASSERT_NE(older, nullptr);
    ASSERT_NE(newer, nullptr);
    EXPECT_NE(older, newer);
    EXPECT_EQ(ObjectNodeData(table.head), newer);
    EXPECT_EQ(ObjectLookup(&table, ObjectIdentifier(older)), older);
    EXPECT_EQ(ObjectLookup(&table, ObjectIdentifier(newer)), newer);

    ObjectRemove(&table, ObjectIdentifier(older));
    EXPECT_EQ(ObjectLookup(&table, ObjectIdentifier(newer)), newer);
    ASSERT_NE(table.head, nullptr);
    EXPECT_EQ(ObjectNodeData(table.head), newer);
    EXPECT_EQ(table.head->next, nullptr);

    TestRecord* third = Make(OBJECT_ANY, 3);
    ObjectRemove(&table, ObjectIdentifier(third));
    ASSERT_NE(table.head, nullptr);
    EXPECT_EQ(ObjectNodeData(table.head), newer) << "removing the head makes the older one head";
    EXPECT_EQ(table.head->previous, nullptr);
}

TEST_F(ObjectTableTest, DynamicRecordStartsZeroedAndAbsent) {
    Init();
    TestRecord* record = (TestRecord*)ObjectCreate(&table, OBJECT_ANY);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->handle, 0u);
    EXPECT_EQ(record->payload, 0u);
    EXPECT_EQ(ObjectLookup(&table, ObjectIdentifier(record)), nullptr);
}

TEST_F(ObjectTableTest, StrayValuesAreMissingObjects) {
    Init();
    ObjectTable other{};
    ASSERT_EQ(ObjectTableInit(&other, sizeof(TestRecord), 10, 10, 1, 1), 1);
    TestRecord* foreign = (TestRecord*)ObjectCreate(&other, OBJECT_ANY);
    foreign->handle = 5;
    // Made before the removal, so that the freed node's memory can't come back as this record.
    TestRecord* kept = Make(OBJECT_ANY, 8);
    TestRecord* freed = Make(OBJECT_ANY, 6);
    ObjectNumber freedIdentifier = ObjectIdentifier(freed);
    ObjectRemove(&table, freedIdentifier);
    // Non-zero first field: a table that trusted the address would hand it out.
    TestRecord bait = {0xBADu, 0xBADu};

    struct Stray {
        const char* name;
        ObjectNumber value;
    };
    const Stray strays[] = {
        {"address of a plain variable", ObjectIdentifier(&bait)},
        {"freed identifier", freedIdentifier},
        {"identifier of another table", ObjectIdentifier(foreign)},
        {"negative number", -5},
        {"OBJECT_ANY", OBJECT_ANY},
        {"number beyond bound", 11},
        {"largest value", INTPTR_MAX},
        {"smallest value", INTPTR_MIN},
        {"unmapped address", (ObjectNumber)0x10},
    };
    for (const Stray& stray : strays) {
        SCOPED_TRACE(stray.name);
        EXPECT_EQ(ObjectLookup(&table, stray.value), nullptr);
        ObjectRemove(&table, stray.value);
    }
    EXPECT_EQ(bait.handle, 0xBADu) << "a stray remove wrote at the address";
    EXPECT_EQ(ObjectLookup(&other, ObjectIdentifier(foreign)), foreign);
    EXPECT_EQ(ObjectLookup(&table, ObjectIdentifier(kept)), kept);
    ASSERT_NE(table.head, nullptr);
    EXPECT_EQ(ObjectNodeData(table.head), kept);
    EXPECT_EQ(table.head->next, nullptr);
}

TEST_F(ObjectTableTest, ImpossibleCreationsFailAndLeaveTheTableWhole) {
    Init();
    Make(4, 44);
    struct Case {
        const char* name;
        ObjectNumber number;
    };
    const Case cases[] = {
        {"negative other than OBJECT_ANY", -2},
        {"bound would leave 32 bits", (ObjectNumber)INT32_MAX - 5},
        {"largest 32-bit number", (ObjectNumber)INT32_MAX},
        {"slot array too large to allocate", (ObjectNumber)INT32_MAX / 2},
#if INTPTR_MAX > INT32_MAX
        {"beyond 32 bits", (ObjectNumber)INT32_MAX + 1},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ObjectCreate(&table, c.number), nullptr);
        EXPECT_EQ(table.bound, 10);
        TestRecord* record = (TestRecord*)ObjectLookup(&table, 4);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->payload, 132u);
    }
    EXPECT_TRUE(MainHeapIntact());
    EXPECT_NE(Make(12, 1), nullptr) << "the table still grows normally afterwards";
}

TEST_F(ObjectTableTest, FailedSlotArrayGrowthLeavesTheTableWhole) {
    // A heap with a fixed maximum stands in for an exhausted MainHeap.
    support::HeapSwap small(MainHeap, 4096, 65536);
    ASSERT_TRUE(small);
    Init();
    Make(1, 11);
    uint8_t* slots = table.slots;
    EXPECT_EQ(ObjectCreate(&table, 10000), nullptr);
    EXPECT_EQ(table.bound, 10);
    EXPECT_EQ(table.slots, slots);
    TestRecord* record = (TestRecord*)ObjectLookup(&table, 1);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->payload, 33u);
    EXPECT_NE(ObjectCreate(&table, 20), nullptr);
    EXPECT_EQ(table.bound, 30);
}

TEST_F(ObjectTableTest, ListRemovalKeepsBothDirectionsLinked) {
    ObjectNode* head = nullptr;
    void* a = ObjectListAdd(&head, sizeof(ObjectNode) + 4);
    void* b = ObjectListAdd(&head, sizeof(ObjectNode) + 4);
    void* c = ObjectListAdd(&head, sizeof(ObjectNode) + 4);
    ASSERT_TRUE(a && b && c);
    ObjectListRemove(&head, b);
    ASSERT_NE(head, nullptr);
    ASSERT_EQ(ObjectNodeData(head), c);
    ASSERT_NE(head->next, nullptr);
    EXPECT_EQ(ObjectNodeData(head->next), a);
    EXPECT_EQ(head->next->previous, head);
    EXPECT_EQ(head->next->next, nullptr);
    ObjectListRemove(&head, a);
    ObjectListRemove(&head, c);
    EXPECT_EQ(head, nullptr);
    EXPECT_EQ(ObjectListAdd(&head, 2), nullptr) << "a node must hold at least its links";
}

// The release callbacks of the end-of-program walk see these, in this order.
ObjectTable* releasing = nullptr;
std::vector<std::string> released;
std::vector<ObjectNumber> alsoRemove;  // taken along by the first release (a parent's children)

std::string Name(ObjectNumber number, const std::vector<TestRecord*>& dynamic) {
    for (size_t i = 0; i < dynamic.size(); i++) {
        if (number == ObjectIdentifier(dynamic[i])) return "dynamic" + std::to_string(i);
    }
    return std::to_string(number);
}

std::vector<TestRecord*> releasedDynamic;

void RecordRelease(ObjectNumber number) {
    released.push_back(Name(number, releasedDynamic));
    ObjectRemove(releasing, number);
    for (ObjectNumber other : alsoRemove) ObjectRemove(releasing, other);
    alsoRemove.clear();
}

std::string Join(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += name + " ";
    return joined;
}

TEST_F(ObjectTableTest, EndReleaseTakesDynamicNewestFirstThenStaticInKindOrder) {
    struct Case {
        bool ascending;
        const char* expected;
    };
    const Case cases[] = {
        {true, "dynamic2 dynamic1 dynamic0 0 4 9 "},
        {false, "dynamic2 dynamic1 dynamic0 9 4 0 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ascending ? "ascending" : "descending");
        Init();
        releasedDynamic.clear();
        for (int i = 0; i < 3; i++) releasedDynamic.push_back(Make(OBJECT_ANY, 50 + i));
        Make(4, 4);
        Make(0, 1);
        Make(9, 9);
        ObjectCreate(&table, 6);  // created but never given a handle: nothing to release
        releasing = &table;
        released.clear();
        ObjectReleaseAll(&table, RecordRelease, c.ascending);
        EXPECT_EQ(Join(released), c.expected);
        EXPECT_EQ(table.head, nullptr);
        for (ObjectNumber n = 0; n <= table.bound; n++) EXPECT_EQ(ObjectLookup(&table, n), nullptr);
    }
}

TEST_F(ObjectTableTest, EndReleaseSkipsRecordsAnEarlierReleaseTookAlong) {
    Init();
    releasedDynamic.clear();
    for (int i = 0; i < 3; i++) releasedDynamic.push_back(Make(OBJECT_ANY, 50 + i));
    Make(2, 2);
    releasing = &table;
    released.clear();
    alsoRemove = {ObjectIdentifier(releasedDynamic[1]), 2};
    ObjectReleaseAll(&table, RecordRelease, true);
    EXPECT_EQ(Join(released), "dynamic2 dynamic0 ");
    EXPECT_EQ(table.head, nullptr);
}

}  // namespace
