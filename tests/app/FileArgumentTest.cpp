// DRUX.exe [file]: a file named on the command line is read instead of the working directory's
// Constants.out; a name that can't be opened gives the empty list of a missing file.
#include "tests/app/Driver.h"
#include "tests/app/Samples.h"

namespace e2e {
namespace {

const std::vector<Constant> IN_DIRECTORY = {{"FROM_WORKING_DIRECTORY", "1", "0x1"}};
const std::vector<Constant> NAMED = {
    {"NAMED_ONE", "1", "0x1"},
    {"NAMED_TWO", "2", "0x2"},
    {"NAMED_THREE", "3", "0x3"},
};

// A directory whose name holds spaces, removed with what it holds.
class SpacedDirectory {
public:
    SpacedDirectory() {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        path_ = std::string(temp) + "drux e2e named " + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~SpacedDirectory() {
        for (const std::string& file : files_) DeleteFileA(file.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    SpacedDirectory(const SpacedDirectory&) = delete;
    SpacedDirectory& operator=(const SpacedDirectory&) = delete;

    std::string Write(const std::string& name, const std::string& bytes) {
        std::string file = path_ + "\\" + name;
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << file;
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
        files_.push_back(file);
        return file;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::vector<std::string> files_;
};

// A pipe whose writing end stays open and silent: a read from it would wait for good.
class SilentPipe {
public:
    SilentPipe()
        : name_("\\\\.\\pipe\\drux-e2e-silent-" + std::to_string(GetCurrentProcessId())),
          server_(CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                   PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr)) {
        EXPECT_NE(server_, INVALID_HANDLE_VALUE);
    }
    ~SilentPipe() {
        if (server_ != INVALID_HANDLE_VALUE) CloseHandle(server_);
    }
    SilentPipe(const SilentPipe&) = delete;
    SilentPipe& operator=(const SilentPipe&) = delete;
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    HANDLE server_;
};

TEST(DruxFileArgument, ReadsTheNamedFileOrNothing) {
    SpacedDirectory directory;
    const std::string named = directory.Write("my constants.out", ConstantsFile(NAMED));
    SilentPipe pipe;
    struct ArgumentCase {
        const char* what;
        std::string arguments;
        std::vector<Constant> shown;
    };
    const ArgumentCase cases[] = {
        {"a quoted path with spaces", "\"" + named + "\"", NAMED},
        {"quotes around part of the path", "\"" + directory.Path() + "\"\\my\" constants.out\"",
         NAMED},
        {"a missing file", "\"" + directory.Path() + "\\missing.out\"", {}},
        {"a directory", "\"" + directory.Path() + "\"", {}},
        {"a pipe that never writes", pipe.Name(), {}},
        {"a device", "NUL", {}},
        {"an empty name", "\"\"", {}},
        {"no argument", "", IN_DIRECTORY},
    };
    const std::string workingFile = ConstantsFile(IN_DIRECTORY);
    for (const ArgumentCase& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ": " + c.arguments);
        DruxRun run;
        run.ArgumentsSet(c.arguments);
        ASSERT_TRUE(run.Start(&workingFile, static_cast<int>(c.shown.size())));
        for (size_t row = 0; row < c.shown.size(); ++row) {
            EXPECT_EQ(run.ItemText(static_cast<int>(row), 0), c.shown[row].name);
            EXPECT_EQ(run.ItemText(static_cast<int>(row), 2), c.shown[row].hex);
        }
        // The program runs on normally and ends as always.
        ASSERT_TRUE(run.EscapeExit());
    }
}

}  // namespace
}  // namespace e2e
