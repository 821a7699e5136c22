// Fuzz target: the command-line splitting over any bytes (the line ends at the first zero, as the
// platform's does), each argument written near the work buffer's end. Nothing may be read past the
// line's zero or written past the buffer, and every argument must be the one that a plain model of
// the C runtime's rules gives, or the empty text where it does not fit. The first byte picks the
// room (short inputs reach the cut too).
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "runtime/CommandLine.h"
#include "runtime/Runtime.h"
#include "runtime/Text.h"

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

// The C runtime's argv, byte by byte. The program name runs to the first blank outside quotes,
// its quotes dropped. In the other arguments backslashes are held back until the next byte shows
// what they are: before a quote every pair is one backslash and an odd one makes the quote
// literal; before anything else they are all literal. Inside quotes, a doubled quote is one quote.
std::vector<std::string> ModelArguments(const std::string& line) {
    std::vector<std::string> arguments(1);
    size_t at = 0;
    bool quoted = false;
    for (; at < line.size() && (quoted || !Blank(line[at])); at++) {
        if (line[at] == '"')
            quoted = !quoted;
        else
            arguments[0] += line[at];
    }
    bool inArgument = false;
    size_t slashes = 0;
    quoted = false;
    for (; at <= line.size(); at++) {
        char c = at < line.size() ? line[at] : 0;
        if (c == '\\') {
            if (!inArgument) arguments.emplace_back();
            inArgument = true;
            slashes++;
            continue;
        }
        if (c == '"') {
            if (!inArgument) arguments.emplace_back();
            inArgument = true;
            arguments.back().append(slashes / 2, '\\');
            bool literal = slashes % 2 == 1;
            slashes = 0;
            if (!literal && quoted && at + 1 < line.size() && line[at + 1] == '"') {
                literal = true;
                at++;
            }
            if (literal)
                arguments.back() += '"';
            else
                quoted = !quoted;
            continue;
        }
        if (inArgument) arguments.back().append(slashes, '\\');
        slashes = 0;
        if (c == 0 || (!quoted && Blank(c))) {
            inArgument = false;
            quoted = false;
            continue;
        }
        if (!inArgument) arguments.emplace_back();
        inArgument = true;
        arguments.back() += c;
    }
    return arguments;
}

void Fail(const std::string& line, size_t index, const char* got, const std::string& wanted) {
    fprintf(stderr, "line [%s] argument %zu: got [%s], wanted [%s]\n", line.c_str(), index,
            got ? got : "(none)", wanted.c_str());
    abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    int32_t room = data[0] < 0x80 ? 1 + data[0] : WORK_BUFFER_SIZE;
    std::string line((const char*)data + 1, strnlen((const char*)data + 1, size - 1));
    // A block of exactly the line and its zero, so that the sanitizer sees a read past it.
    char* commandLine = (char*)malloc(line.size() + 1);
    memcpy(commandLine, line.c_str(), line.size() + 1);

    if (RuntimeStart(nullptr) != 1) abort();
    char* out = WorkBuffer + WORK_BUFFER_SIZE - room;
    std::vector<std::string> wanted = ModelArguments(line);
    for (size_t index = 0; index <= wanted.size() + 1; index++) {
        char* got = CommandLineArgument(commandLine, (int32_t)index, out);
        if (index >= wanted.size()) {
            if (got != nullptr) Fail(line, index, got, "(none)");
            continue;
        }
        const std::string& argument = wanted[index];
        // A cut path could name another file, so an argument that does not fit is empty.
        std::string fitted = argument.size() < (size_t)room ? argument : "";
        if (got != out || fitted != got) Fail(line, index, got, fitted);
    }
    if (CommandLineArgument(commandLine, -1, out) != nullptr) Fail(line, (size_t)-1, "?", "(none)");
    RuntimeEnd();
    RuntimeMainHeapDestroy();
    free(commandLine);
    return 0;
}
