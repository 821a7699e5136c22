// Fuzz target: the text engine's producers with texts and an output position anywhere in the
// work buffer, the end included. Nothing may be written past the buffer (the sanitizer sees its
// exact end), and every result must be what plain string operations give, cut to the room left.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "runtime/Runtime.h"
#include "runtime/Text.h"

namespace {

int32_t Take(const uint8_t*& data, size_t& size) {
    int32_t value = 0;
    size_t n = size < 4 ? size : 4;
    memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

void Check(bool holds) {
    if (!holds) abort();
}

// What a producer should leave at out: the wanted text cut so that its zero fits.
void CheckOutput(const char* out, const std::string& wanted) {
    std::string cut = wanted.substr(0, (size_t)TextRoom(out) - 1);
    Check(std::string(out) == cut);
    Check(TextCursor() == out + cut.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (RuntimeStart(nullptr) != 1) abort();
    uint32_t at = (uint32_t)Take(data, size) % WORK_BUFFER_SIZE;
    int32_t start = Take(data, size) % 300;
    int32_t length = Take(data, size) % 300;
    const char* bytes = (const char*)data;
    size_t split = strnlen(bytes, size);
    std::string text(bytes, split);
    std::string pattern =
        split < size ? std::string(bytes + split + 1, strnlen(bytes + split + 1, size - split - 1))
                     : "";

    char* textVariable = nullptr;
    Check(TextSet(&textVariable, text.c_str()) == 1);
    const char* t = textVariable;
    char* out = WorkBuffer + at;

    size_t from = start < 1 ? 0 : (size_t)start - 1;
    size_t hit = from <= text.size() ? text.find(pattern, from) : std::string::npos;
    Check(TextFind(t, pattern.c_str(), start) == (hit == std::string::npos ? 0 : (int32_t)hit + 1));

    size_t keep = length < 0 ? 0 : (size_t)length;
    CheckOutput(TextLeft(t, length, out), text.substr(0, keep));
    CheckOutput(TextRight(t, length, out),
                text.substr(text.size() - (keep < text.size() ? keep : text.size())));
    CheckOutput(TextMid(t, start, length, out),
                length <= 0 || from > text.size() ? "" : text.substr(from, keep));
    size_t first = text.find_first_not_of(' ');
    size_t last = text.find_last_not_of(' ');
    CheckOutput(TextTrim(t, out),
                first == std::string::npos ? "" : text.substr(first, last - first + 1));
    CheckOutput(TextSpaces(length, out), std::string(keep, ' '));
    std::string number = std::to_string((long)start * 1000003L);
    CheckOutput(TextFromNumber(start * 1000003, out), number);
    Check(TextToNumber(number.c_str()) == start * 1000003);
    TextUpper(t, out);
    TextLower(t, out);
    Check(TextEqual(t, text.c_str()) == 1);
    Check(TextLess(t, pattern.c_str()) == (strcmp(text.c_str(), pattern.c_str()) < 0));

    // A text built in the buffer from pieces, then taken into a variable.
    TextCursorSet(out);
    char* built = TextCursor();
    TextAppend(t);
    TextAppend(pattern.c_str());
    char* joined = nullptr;
    Check(TextAssign(&joined, built) == 1);
    Check(std::string(joined) == (text + pattern).substr(0, (size_t)TextRoom(out) - 1));
    Check(TextLength(joined) == (int32_t)strlen(joined));

    RuntimeEnd();
    RuntimeMainHeapDestroy();
    return 0;
}
