// Splitting a command line into arguments without the C runtime's argv, so that the program reads
// exactly the text it was given and any length of it stays inside the work buffer.
#include "runtime/CommandLine.h"
#include "runtime/Text.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Collects the bytes of one argument; bytes past the room are counted but not stored.
struct ArgumentWriter {
    char* out;
    int32_t room;  // bytes that may be stored, the terminating zero excluded
    int32_t length;
    void Put(char c) {
        if (out && length < room) out[length] = c;
        length++;
    }
};

// The program name: quotes group and are dropped, backslashes are plain, a blank outside quotes
// ends it.
const char* ProgramNameSkip(const char* p, ArgumentWriter* writer) {
    bool quoted = false;
    for (; *p && (quoted || !IsBlank(*p)); p++) {
        if (*p == '"')
            quoted = !quoted;
        else
            writer->Put(*p);
    }
    return p;
}

const char* ArgumentSkip(const char* p, ArgumentWriter* writer) {
    bool quoted = false;
    while (*p && (quoted || !IsBlank(*p))) {
        if (*p == '\\') {
            int32_t slashes = 0;
            while (*p == '\\') {
                slashes++;
                p++;
            }
            if (*p != '"') {
                while (slashes--) writer->Put('\\');
                continue;
            }
            for (int32_t i = 0; i < slashes / 2; i++) writer->Put('\\');
            if (slashes % 2) {
                writer->Put('"');
                p++;
                continue;
            }
        }
        if (*p == '"') {
            if (quoted && p[1] == '"') {
                writer->Put('"');
                p += 2;
                continue;
            }
            quoted = !quoted;
            p++;
            continue;
        }
        writer->Put(*p);
        p++;
    }
    return p;
}

const char* BlanksSkip(const char* p) {
    while (IsBlank(*p)) p++;
    return p;
}

}  // namespace

char* CommandLineArgument(const char* commandLine, int32_t index, char* out) {
    if (!commandLine || index < 0) return nullptr;
    if (!out) out = TextCursor();
    const char* p = commandLine;
    ArgumentWriter skipped = {nullptr, 0, 0};
    for (int32_t i = 0;; i++) {
        if (i > 0) {
            p = BlanksSkip(p);
            if (!*p) return nullptr;
        }
        if (i < index) {
            p = i == 0 ? ProgramNameSkip(p, &skipped) : ArgumentSkip(p, &skipped);
            continue;
        }
        int32_t room = TextRoom(out);
        ArgumentWriter writer = {out, room > 0 ? room - 1 : 0, 0};
        if (i == 0)
            ProgramNameSkip(p, &writer);
        else
            ArgumentSkip(p, &writer);
        if (writer.length > writer.room) return TextPut(out, "", 0);
        return TextPut(out, out, writer.length);
    }
}
