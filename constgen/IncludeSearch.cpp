#include "IncludeSearch.h"

#include <filesystem>

namespace fs = std::filesystem;

std::string IncludeSearch::FileKey(const std::string& path) {
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(fs::path(path), error);
    if (error) {
        canonical = fs::absolute(fs::path(path), error);
    }
    return error ? path : canonical.string();
}

bool IncludeSearch::FileIsRegular(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string IncludeSearch::Find(const std::string& name, const std::string& from, bool quoted,
                                bool next) const {
    fs::path given(name);
    if (given.is_absolute()) {
        return FileIsRegular(given) ? name : std::string();
    }
    if (quoted && !next && !from.empty()) {
        fs::path beside = fs::path(from).parent_path() / given;
        if (FileIsRegular(beside)) {
            return beside.string();
        }
    }
    // #include_next: the directories after the one the including file was found in (a
    // compiler's own limits.h or stdint.h hands over to the C library's that way).
    size_t first = 0;
    if (next) {
        // The directory the file lies under (the deepest one, /usr/include/x86_64-linux-gnu
        // rather than /usr/include); a file found beside another one counts as found in the
        // other one's directory.
        const std::string normal = fs::path(from).lexically_normal().string();
        size_t longest = 0;
        for (size_t i = 0; i < directories.size(); ++i) {
            // The separator the normal form uses: on Windows it turns "/" into "\\", so a
            // "/" added by hand never matched there and #include_next searched from the start.
            const std::string directory =
                (fs::path(directories[i]) / "").lexically_normal().string();
            if (normal.compare(0, directory.size(), directory) == 0 && directory.size() > longest) {
                longest = directory.size();
                first = i + 1;
            }
        }
    }
    for (size_t i = first; i < directories.size(); ++i) {
        fs::path candidate = fs::path(directories[i]) / given;
        if (FileIsRegular(candidate) && !(next && candidate.string() == from)) {
            return candidate.string();
        }
    }
    return std::string();
}
