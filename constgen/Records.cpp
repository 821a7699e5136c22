#include "Records.h"

namespace {

// Digits by hand rather than printf: MinGW's printf family reads "%ld" and "%llX" by the C
// runtime it is linked against, and the record must not depend on that.
std::string DecimalText(int64_t value) {
    uint64_t magnitude =
        value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[24];
    size_t at = sizeof digits;
    do {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        digits[--at] = '-';
    }
    return std::string(digits + at, sizeof digits - at);
}

std::string HexText(uint64_t value) {
    char digits[16];
    size_t at = sizeof digits;
    do {
        digits[--at] = "0123456789ABCDEF"[value & 15];
        value >>= 4;
    } while (value != 0);
    return "0x" + std::string(digits + at, sizeof digits - at);
}

}  // namespace

Record RecordOf32(const std::string& name, uint32_t pattern) {
    return Record{name, DecimalText(static_cast<int32_t>(pattern)), HexText(pattern)};
}

Record RecordOf64(const std::string& name, uint64_t pattern) {
    return Record{name, DecimalText(static_cast<int64_t>(pattern)), HexText(pattern)};
}

std::string RecordText(const Record& record) {
    return record.name + "\r\n" + record.decimal + "\r\n" + record.hex + "\r\n";
}

std::string RecordsText(const std::vector<Record>& records) {
    std::string text;
    for (const Record& record : records) {
        text += RecordText(record);
    }
    return text;
}
