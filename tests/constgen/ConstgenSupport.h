// Helpers shared by the constgen tests: a scratch directory, runs of the command, and a strict
// reader of the Constants.out format.
#pragma once
#include <stdint.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Constgen.h"

struct ConstantRecord {
    std::string name;
    std::string decimal;
    std::string hex;
    bool operator==(const ConstantRecord& other) const {
        return name == other.name && decimal == other.decimal && hex == other.hex;
    }
};

inline std::ostream& operator<<(std::ostream& stream, const ConstantRecord& record) {
    return stream << "{" << record.name << ", " << record.decimal << ", " << record.hex << "}";
}

// Splits the file into records; every line must end with CR LF and every record have its three
// lines. error says where the format breaks.
inline bool RecordsParse(const std::string& bytes, std::vector<ConstantRecord>& records,
                         std::string& error) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            error = "last line without CR LF";
            return false;
        }
        std::string line = bytes.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos) {
            error = "lone CR or LF in line " + std::to_string(lines.size() + 1);
            return false;
        }
        lines.push_back(line);
        start = end + 2;
    }
    if (lines.size() % 3 != 0) {
        error = std::to_string(lines.size()) + " lines, not a multiple of three";
        return false;
    }
    for (size_t i = 0; i < lines.size(); i += 3) {
        records.push_back(ConstantRecord{lines[i], lines[i + 1], lines[i + 2]});
    }
    return true;
}

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

// A fresh directory under the temporary directory, removed with everything in it at the end.
class ScratchDirectory {
public:
    ScratchDirectory() {
        static int serial = 0;
        auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        path = std::filesystem::temp_directory_path() /
               ("constgen_test_" + std::to_string(ticks) + "_" + std::to_string(++serial));
        std::filesystem::create_directories(path);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string Write(const std::string& name, const std::string& bytes) const {
        std::filesystem::path file = path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream stream(file, std::ios::binary);
        stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }
    std::string Name(const std::string& name) const { return (path / name).string(); }

    std::filesystem::path path;
};

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline RunResult ConstgenRun(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    RunResult result;
    result.status = ConstgenMain(arguments, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}
