// Numbered object tables: a growable slot array indexed by number plus a list of
// dynamically numbered records whose identifier is the record's address.
#pragma once
#include <stdint.h>
#include <stddef.h>

// An object number: 0 and up name a slot; OBJECT_ANY at creation asks for a dynamic record whose
// identifier (its address) then stands for the number. Pointer-sized, so it is the 32-bit value
// of the product build and still holds an address in the 64-bit build that tests may run on.
typedef intptr_t ObjectNumber;

const ObjectNumber OBJECT_ANY = -1;

// Link part of a dynamic record; the record itself follows it (sizeof(ObjectNode) bytes on: 8 in
// the 32-bit product, 16 in the 64-bit build).
struct ObjectNode {
    ObjectNode* next;      // next older node
    ObjectNode* previous;  // next newer node
};

struct ObjectIdentifierSet;  // live dynamic identifiers, so lookups never trust a stray address

struct ObjectTable {
    int32_t bound;       // highest number accepted in lookups; slots cover 0..bound
    int32_t step;        // growth beyond the created number (10 or 30)
    int32_t spare;       // slots after growth = bound + spare (1 or 2)
    int32_t recordSize;  // bytes per record; the first field is the native handle (see below)
    uint8_t* slots;      // MainHeap, zero-filled
    ObjectNode* head;    // newest dynamic record, or null
    ObjectIdentifierSet* live;
};

// A record is present while its first field, the native handle, is non-zero. That field is
// pointer-sized (a HANDLE: 32 bits in the product build), or the whole record when it is smaller.
//
// Tables live in static storage or start zeroed (ObjectTable table{}), since the live-identifier
// set is made on first initialisation and reused afterwards.

// Sets the kind's parameters and allocates bound + startSpare zeroed slots from MainHeap.
// Returns 0 when the slot array can't be had (the table then holds no slots and every lookup is
// a miss). Re-initialising drops the old contents without freeing them: after a runtime restart
// they belonged to a MainHeap that no longer exists.
int32_t ObjectTableInit(ObjectTable* table, int32_t recordSize, int32_t bound, int32_t step,
                        int32_t startSpare, int32_t growSpare);

// The record at which the caller builds the object: a slot (growing the table when number is not
// below bound) or, for OBJECT_ANY, a new zeroed dynamic record. Null on failure (heap exhausted,
// a number so large that the grown bound would leave 32 bits) or for a negative number other than
// OBJECT_ANY; the table stays as it was. Records may move when the table grows.
void* ObjectCreate(ObjectTable* table, ObjectNumber number);

// The live record for a number or a dynamic identifier, or null. A value that is neither a slot
// number nor a live dynamic identifier is a missing object; its address is never touched.
void* ObjectLookup(ObjectTable* table, ObjectNumber number);

// Forgets an object: a slot's first field becomes zero, a dynamic record is unlinked and freed.
void ObjectRemove(ObjectTable* table, ObjectNumber number);

// The identifier of a dynamic record (its address), as creating operations return it.
inline ObjectNumber ObjectIdentifier(const void* record) {
    return (ObjectNumber)record;
}

// True when number names a slot of the table (0..bound), false for dynamic identifiers. A live
// dynamic identifier is never a slot number, even when a far creation has raised bound above it.
bool ObjectIsSlotNumber(const ObjectTable* table, ObjectNumber number);

// Record part of a dynamic node and back.
inline void* ObjectNodeData(ObjectNode* node) {
    return (uint8_t*)node + sizeof(ObjectNode);
}

// Releases everything the table holds through release(number): dynamic records newest first,
// then static numbers 0..bound-1 (ascending) or bound-1..0 (descending). release must end in
// ObjectRemove for the number it is given; empty slots are skipped, and a dynamic record that an
// earlier release already removed is not visited.
void ObjectReleaseAll(ObjectTable* table, void (*release)(ObjectNumber number), bool ascending);

// Plain lists of dynamic records (used by the tables and by the requester's disabled windows).
// ObjectListAdd allocates a zeroed node of size bytes (link included) from ObjectHeap and
// returns its data part, or null with the list unchanged.
void* ObjectListAdd(ObjectNode** head, int32_t size);
void ObjectListRemove(ObjectNode** head, void* data);
