// Constants.out, the file DRUX reads: per constant three lines, its name, its value in decimal
// and its value in hexadecimal ("0x" and upper-case digits), every line ending CR LF. The one
// writer of the format: constgen's output and every file constprobe makes (the values read back
// from the compiler, the merged data set, its split by group) go through RecordText.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

struct Record {
    std::string name;
    std::string decimal;
    std::string hex;
    bool operator==(const Record& other) const {
        return name == other.name && decimal == other.decimal && hex == other.hex;
    }
    bool operator!=(const Record& other) const { return !(*this == other); }
};

// The record of a 32-bit pattern: read signed on the decimal line, unsigned on the hex line
// (E_ACCESSDENIED: -2147024891, 0x80070005).
Record RecordOf32(const std::string& name, uint32_t pattern);

// The record of a 64-bit target's value that 32 bits do not hold: its 64-bit pattern, read as the
// 32-bit records read theirs (((ULONG_PTR)-2) on x86-64: -2, 0xFFFFFFFFFFFFFFFE).
Record RecordOf64(const std::string& name, uint64_t pattern);

std::string RecordText(const Record& record);
std::string RecordsText(const std::vector<Record>& records);
