// Fuzz target: the line reader over a disk file holding the input. Read the way the application
// reads (a line, then the end test), the lines must be exactly those that the line-end rules give:
// LF, CR LF, a lone CR and a zero byte each end a line; a line too long for the work buffer is cut.
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

std::vector<std::string> ExpectedLines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < size) {
        std::string line;
        while (at < size && data[at] != 0 && data[at] != '\r' && data[at] != '\n') line += (char)data[at++];
        if (at < size && data[at] == '\r' && at + 1 < size && data[at + 1] == '\n') at++;
        if (at < size) at++;
        if (line.size() > WORK_BUFFER_SIZE - 1) line.resize(WORK_BUFFER_SIZE - 1);
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
    FILE* file = fopen(InputPath(), "wb");
    if (file == nullptr) return 0;
    fwrite(data, 1, size, file);
    fclose(file);

    if (RuntimeStart(nullptr) != 1) abort();
    std::vector<std::string> expected = ExpectedLines(data, size);
    std::vector<std::string> got;
    if (FileOpenRead(0, InputPath()) == 0) abort();
    // Every line consumes at least one byte, so more reads than bytes means the reader is stuck.
    while (FileAtEnd(0) == 0 && got.size() <= size) {
        TextCursorSet(WorkBuffer);
        char* line = FileReadLine();
        got.emplace_back(line, (size_t)TextLength(line));
    }
    TextCursorSet(WorkBuffer);
    if (FileReadLine()[0] != 0) abort();  // past the end every line is empty
    FileClose(0);
    RuntimeEnd();
    RuntimeMainHeapDestroy();
    if (got != expected) {
        fprintf(stderr, "lines: expected %zu, got %zu\n", expected.size(), got.size());
        for (size_t i = 0; i < expected.size() || i < got.size(); i++) {
            fprintf(stderr, "  %zu: [%s] [%s]\n", i, i < expected.size() ? expected[i].c_str() : "-",
                    i < got.size() ? got[i].c_str() : "-");
        }
        abort();
    }
    return 0;
}
