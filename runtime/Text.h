// The text engine: owned text variables and one shared 64000-byte work buffer in which every
// intermediate text is built at a cursor that moves like a stack pointer within a statement.
//
// Protocol: save TextCursor() at the start of an expression; text-producing operations write their
// result and a terminating zero at out (default: the cursor), leave the cursor on that zero and
// return out; TextAssign takes the text and puts the cursor back. Nothing ever writes past the
// buffer: a text that does not fit is cut so that its zero lands on the buffer's last byte, and an
// output position or cursor outside the buffer is taken as its last byte. Before RuntimeStart
// (no buffer) producers write nothing and return an empty text.
#pragma once
#include <stdint.h>

const int32_t WORK_BUFFER_SIZE = 64000;

extern char* WorkBuffer;

void TextLibraryInit();  // allocates the WorkBuffer from MainHeap; called by RuntimeStart

char* TextCursor();
void TextCursorSet(char* position);
// Bytes that a text written at position may use, its terminating zero included (0 when position
// lies outside the buffer).
int32_t TextRoom(const char* position);
// Writes length bytes of bytes at out (cut to the room left), then a zero; the cursor goes to the
// zero. out may overlap bytes. Returns out. The building block of every producer.
char* TextPut(char* out, const char* bytes, int32_t length);

// Variables: char* owned by the variable, null reads as "". Return 1, or 0 when MainHeap can't
// supply the block (the variable then keeps its old text).
int32_t TextAssign(char** variable, char* start);
int32_t TextSet(char** variable, const char* text);
char* TextAppend(const char* text);  // returns where the piece went

int32_t TextEqual(const char* left, const char* right);
int32_t TextLess(const char* left, const char* right);
int32_t TextGreater(const char* left, const char* right);

int32_t TextCode(const char* text);
char* TextFromCode(int32_t code, char* out = nullptr);
int32_t TextFind(const char* text, const char* pattern, int32_t start);
char* TextUpper(const char* text, char* out = nullptr);
char* TextLower(const char* text, char* out = nullptr);
char* TextSpaces(int32_t count, char* out = nullptr);

char* TextFromNumber(int32_t value, char* out = nullptr);                   // "%ld"
char* TextFromUnsigned(int32_t value, int32_t width, char* out = nullptr);  // "%lu", 8/16/32 bits
char* TextHex(int32_t value, char* out = nullptr);                          // "%lX"
int32_t TextToNumber(const char* text);

int32_t TextLength(const char* text);
char* TextLeft(const char* text, int32_t length, char* out = nullptr);
char* TextRight(const char* text, int32_t length, char* out = nullptr);
char* TextMid(const char* text, int32_t start, int32_t length, char* out = nullptr);
char* TextTrimLeft(const char* text, char* out = nullptr);
char* TextTrimRight(const char* text, char* out = nullptr);
char* TextTrim(const char* text, char* out = nullptr);
