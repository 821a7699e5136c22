// Constants.out contents for the end-to-end tests.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace e2e {

struct Constant {
    std::string name;
    std::string decimal;
    std::string hex;
};

// Five rows as a person would look them up, one with spaces around its name and a value written
// unusually, which DRUX shows as stored, spaces and prefixes kept.
inline const std::vector<Constant> SAMPLE = {
    {"WM_NULL", "0", "0x0"},
    {"WM_CREATE", "1", "0x1"},
    {"  SPACED NAME ", " -1", "0XFFFFFFFF "},
    {"WM_USER", "1024", "0x400"},
    {"LVM_FIRST", "4096", "0x1000"},
};

// Three lines per constant, each ended by lineEnd; the very last line end is left off when
// finalLineEnd is false.
inline std::string ConstantsFile(const std::vector<Constant>& constants,
                                 const std::string& lineEnd = "\r\n", bool finalLineEnd = true) {
    std::string file;
    for (const Constant& c : constants)
        file += c.name + lineEnd + c.decimal + lineEnd + c.hex + lineEnd;
    if (!finalLineEnd && !file.empty()) file.resize(file.size() - lineEnd.size());
    return file;
}

// CONST_0000, CONST_0001, ... with values 7 * index.
inline std::vector<Constant> NumberedConstants(int count) {
    std::vector<Constant> constants;
    for (int i = 0; i < count; ++i) {
        char name[32], decimal[32], hex[32];
        snprintf(name, sizeof name, "CONST_%04d", i);
        snprintf(decimal, sizeof decimal, "%d", 7 * i);
        snprintf(hex, sizeof hex, "0x%X", 7 * i);
        constants.push_back({name, decimal, hex});
    }
    return constants;
}

}  // namespace e2e
