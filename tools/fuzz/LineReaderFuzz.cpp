// Fuzz target: the line reader over a disk file holding the input after its first byte. Read the
// way the application reads (a line, then the end test), the lines must be exactly those that the
// line-end rules give: LF, CR LF, a lone CR and a zero byte each end a line; a line longer than the
// room left in the work buffer is cut there. The first byte picks that room (the lines are written
// near the buffer's end), so short inputs reach the cut too.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "runtime/File.h"
#include "runtime/Runtime.h"
#include "runtime/Text.h"

namespace {

std::vector<std::string> ExpectedLines(const uint8_t* data, size_t size, size_t room) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < size) {
        std::string line;
        while (at < size && data[at] != 0 && data[at] != '\r' && data[at] != '\n')
            line += (char)data[at++];
        if (at < size && data[at] == '\r' && at + 1 < size && data[at + 1] == '\n') at++;
        if (at < size) at++;
        if (line.size() > room - 1) line.resize(room - 1);
        lines.push_back(line);
    }
    return lines;
}

const char* InputPath() {
    static char path[64] = "";
    if (path[0] == 0) {
        snprintf(path, sizeof path, "/tmp/drux-fuzz-lines-%d", (int)getpid());
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    size_t room = data[0] < 0x80 ? 1 + data[0] : WORK_BUFFER_SIZE;
    data++;
    size--;
    FILE* file = fopen(InputPath(), "wb");
    if (file == nullptr) return 0;
    fwrite(data, 1, size, file);
    fclose(file);

    if (RuntimeStart(nullptr) != 1) abort();
    std::vector<std::string> expected = ExpectedLines(data, size, room);
    char* start = WorkBuffer + WORK_BUFFER_SIZE - room;
    std::vector<std::string> got;
    if (FileOpenRead(0, InputPath()) == 0) abort();
    // Every line consumes at least one byte, so more reads than bytes means the reader is stuck.
    while (FileAtEnd(0) == 0 && got.size() <= size) {
        TextCursorSet(start);
        char* line = FileReadLine();
        got.emplace_back(line, (size_t)TextLength(line));
    }
    TextCursorSet(start);
    if (FileReadLine()[0] != 0) abort();  // past the end every line is empty
    FileClose(0);
    RuntimeEnd();
    RuntimeMainHeapDestroy();
    if (got != expected) {
        fprintf(stderr, "lines: expected %zu, got %zu\n", expected.size(), got.size());
        for (size_t i = 0; i < expected.size() || i < got.size(); i++) {
            fprintf(stderr, "  %zu: [%s] [%s]\n", i,
                    i < expected.size() ? expected[i].c_str() : "-",
                    i < got.size() ? got[i].c_str() : "-");
        }
        abort();
    }
    return 0;
}
