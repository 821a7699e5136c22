// Where "#include" finds a header: beside the including file for "...", then the include
// directories in their order; "#include_next" goes on after the directory the including file
// lies in, as GCC does (a compiler's own limits.h hands over to the C library's that way).
#pragma once
#include <filesystem>
#include <string>
#include <vector>

class IncludeSearch {
public:
    explicit IncludeSearch(std::vector<std::string> includeDirectories)
        : directories(std::move(includeDirectories)) {}

    // The path of name, included from the file from (empty for a file named on the command
    // line), or empty when it is nowhere.
    std::string Find(const std::string& name, const std::string& from, bool quoted,
                     bool next = false) const;

    // One key per file however it is named, so that each file is read once.
    static std::string FileKey(const std::string& path);
    static bool FileIsRegular(const std::filesystem::path& path);

private:
    std::vector<std::string> directories;
};
