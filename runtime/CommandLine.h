// The program's command line, split into arguments by the rules that Windows programs follow.
#pragma once
#include <stdint.h>

// The argument at index (0 is the program) of commandLine, by the platform's C runtime rules:
// spaces and tabs separate arguments; double quotes group, and inside quotes "" is one quote;
// 2n backslashes before a quote give n backslashes and the quote groups, 2n+1 give n and a
// literal quote; other backslashes are literal. In the program name quotes only group and
// backslashes are plain. Written in the WorkBuffer at out (default: the cursor) by the
// work-buffer protocol. Returns null when there is no such argument, and the empty text for an
// argument that does not fit in the buffer (a cut path could name another file).
char* CommandLineArgument(const char* commandLine, int32_t index, char* out = nullptr);
