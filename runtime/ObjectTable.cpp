// Numbered object tables and the lists of dynamically numbered records.
#include "runtime/ObjectTable.h"

#include <string.h>
#include <windows.h>

#include <new>
#include <unordered_set>
#include <vector>

#include "runtime/Memory.h"

// Identifiers handed out for OBJECT_ANY and not yet removed. A caller may pass any value as a
// number; only membership here lets a value outside 0..bound be used as an address.
struct ObjectIdentifierSet {
    std::unordered_set<ObjectNumber> identifiers;
};

namespace {

// The product's address space caps a slot array at 2 GB; the 64-bit build keeps the same cap
// rather than committing whatever an absurd number asks for.
const uint64_t SLOT_ARRAY_LIMIT = INT32_MAX;

// Bytes of a record that make up its native handle.
size_t HandleSize(const ObjectTable* table) {
    size_t size = (size_t)table->recordSize;
    return size < sizeof(void*) ? size : sizeof(void*);
}

bool RecordPresent(const ObjectTable* table, const uint8_t* record) {
    size_t size = HandleSize(table);
    for (size_t i = 0; i < size; i++) {
        if (record[i] != 0) return true;
    }
    return false;
}

uint8_t* SlotRecord(const ObjectTable* table, ObjectNumber number) {
    return table->slots + (size_t)number * (size_t)table->recordSize;
}

bool IsLiveIdentifier(const ObjectTable* table, ObjectNumber number) {
    return table->live != nullptr && table->live->identifiers.count(number) != 0;
}

// Grows the slot array so that number lies below the new bound. Leaves the table untouched when
// the new size can't be expressed or allocated.
bool TableGrow(ObjectTable* table, ObjectNumber number) {
    int64_t newBound = (int64_t)number + table->step;
    if (newBound > INT32_MAX) return false;  // step > 0, so this covers a too large number too
    uint64_t count = (uint64_t)newBound + (uint64_t)table->spare;
    uint64_t bytes = count * (uint64_t)table->recordSize;
    if (bytes > SLOT_ARRAY_LIMIT || MainHeap == nullptr) return false;
    uint8_t* grown;
    if (table->slots == nullptr) {
        grown = (uint8_t*)HeapAlloc(MainHeap, HEAP_ZERO_MEMORY, (SIZE_T)bytes);
    } else {
        // HEAP_ZERO_MEMORY zero-fills the part beyond the old size, so the new slots read as
        // absent.
        grown = (uint8_t*)HeapReAlloc(MainHeap, HEAP_ZERO_MEMORY, table->slots, (SIZE_T)bytes);
    }
    if (grown == nullptr) return false;
    table->slots = grown;
    table->bound = (int32_t)newBound;
    return true;
}

}  // namespace

bool ObjectIsSlotNumber(const ObjectTable* table, ObjectNumber number) {
    return number >= 0 && number <= table->bound && !IsLiveIdentifier(table, number);
}

int32_t ObjectTableInit(ObjectTable* table, int32_t recordSize, int32_t bound, int32_t step,
                        int32_t startSpare, int32_t growSpare) {
    if (table->live == nullptr) {
        table->live = new (std::nothrow) ObjectIdentifierSet;
    } else {
        table->live->identifiers.clear();
    }
    table->recordSize = recordSize > 0 ? recordSize : 1;
    table->bound = bound >= 0 ? bound : 0;
    table->step = step > 0 ? step : 1;
    table->spare = growSpare > 0 ? growSpare : 1;
    table->head = nullptr;
    table->slots = nullptr;
    if (MainHeap == nullptr || table->live == nullptr) {
        table->bound = -1;  // no slots: every number misses
        return 0;
    }
    int32_t spare = startSpare > 0 ? startSpare : 1;
    uint64_t bytes = ((uint64_t)table->bound + (uint64_t)spare) * (uint64_t)table->recordSize;
    if (bytes <= SLOT_ARRAY_LIMIT) {
        table->slots = (uint8_t*)HeapAlloc(MainHeap, HEAP_ZERO_MEMORY, (SIZE_T)bytes);
    }
    if (table->slots == nullptr) {
        table->bound = -1;
        return 0;
    }
    return 1;
}

void* ObjectCreate(ObjectTable* table, ObjectNumber number) {
    // A zeroed, never initialised table would grow to a slot array of 0-byte records.
    if (table->recordSize <= 0 || table->step <= 0) return nullptr;
    if (IsLiveIdentifier(table, number)) return nullptr;
    if (number == OBJECT_ANY) {
        if (table->live == nullptr) return nullptr;
        void* record = ObjectListAdd(&table->head, (int32_t)sizeof(ObjectNode) + table->recordSize);
        if (record == nullptr) return nullptr;
        try {
            table->live->identifiers.insert(ObjectIdentifier(record));
        } catch (const std::bad_alloc&) {
            ObjectListRemove(&table->head, record);
            return nullptr;
        }
        return record;
    }
    if (number < 0) return nullptr;
    if (number >= table->bound || table->slots == nullptr) {
        if (!TableGrow(table, number)) return nullptr;
    }
    return SlotRecord(table, number);
}

void* ObjectLookup(ObjectTable* table, ObjectNumber number) {
    uint8_t* record;
    if (IsLiveIdentifier(table, number)) {
        record = (uint8_t*)number;
    } else if (ObjectIsSlotNumber(table, number)) {
        if (table->slots == nullptr) return nullptr;
        record = SlotRecord(table, number);
    } else {
        return nullptr;
    }
    return RecordPresent(table, record) ? record : nullptr;
}

void ObjectRemove(ObjectTable* table, ObjectNumber number) {
    if (IsLiveIdentifier(table, number)) {
        table->live->identifiers.erase(number);
        ObjectListRemove(&table->head, (void*)number);
    } else if (ObjectIsSlotNumber(table, number)) {
        if (table->slots != nullptr) memset(SlotRecord(table, number), 0, HandleSize(table));
    }
}

void ObjectReleaseAll(ObjectTable* table, void (*release)(ObjectNumber number), bool ascending) {
    // A release may remove other records too (a window taking its children along), so the walk
    // works from a copy of the identifiers and skips those that are gone by their turn.
    std::vector<ObjectNumber> dynamic;
    for (ObjectNode* node = table->head; node != nullptr; node = node->next) {
        dynamic.push_back(ObjectIdentifier(ObjectNodeData(node)));
    }
    for (ObjectNumber identifier : dynamic) {
        if (IsLiveIdentifier(table, identifier)) release(identifier);
    }
    int32_t bound = table->bound;
    for (int32_t i = 0; i < bound; i++) {
        ObjectNumber number = ascending ? i : bound - 1 - i;
        if (ObjectLookup(table, number) != nullptr) release(number);
    }
}

void* ObjectListAdd(ObjectNode** head, int32_t size) {
    if (ObjectHeap == nullptr || size < (int32_t)sizeof(ObjectNode)) return nullptr;
    ObjectNode* node = (ObjectNode*)HeapAlloc(ObjectHeap, HEAP_ZERO_MEMORY, (SIZE_T)size);
    if (node == nullptr) return nullptr;
    node->next = *head;
    if (*head != nullptr) (*head)->previous = node;
    *head = node;
    return ObjectNodeData(node);
}

void ObjectListRemove(ObjectNode** head, void* data) {
    if (data == nullptr) return;
    ObjectNode* node = (ObjectNode*)((uint8_t*)data - sizeof(ObjectNode));
    if (node == *head) {
        *head = node->next;
        if (*head != nullptr) (*head)->previous = nullptr;
    } else {
        if (node->previous != nullptr) node->previous->next = node->next;
        if (node->next != nullptr) node->next->previous = node->previous;
    }
    if (ObjectHeap != nullptr) HeapFree(ObjectHeap, 0, node);
}
