// This program's import slots, walked once for every test that watches or counts platform calls:
// the libraries under test are linked into the test program, so their platform calls go through
// the program's own import address table, and a slot pointed elsewhere sees every call.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace support {

struct ImportRedirect {
    const char* name;       // the imported function, as its module exports it
    ULONG_PTR replacement;  // what the slot is pointed at
    ULONG_PTR* platform;    // receives the function that the slot held
};

// Points every slot that imports one of the named functions at its replacement, and returns the
// names redirected. A function the program does not import is simply not there. The slot's name
// comes from the import name table; without one (a bound or stripped table), from the export
// whose address the slot holds.
std::vector<std::string> ImportsRedirect(const std::vector<ImportRedirect>& redirects);

}  // namespace support
