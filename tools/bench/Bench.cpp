// Prints DRUX's figures beside those of a bare baseline program doing the same with the least
// work: start-up until the program is ready, memory, a header-click sort, a full find pass, idle
// CPU. Both programs run under Wine in the virtual desktop and are driven with real input.
#include "tests/app/Driver.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace e2e;

namespace {

constexpr DWORD LOAD_LIMIT_MS = 600000;
constexpr DWORD COMMAND_LIMIT_MS = 120000;

struct Program {
    const char* label;
    std::string executable;
    std::string title;
    bool reindexes;  // DRUX gives every row its index as key after a sort
};

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// rows constants named BENCH_00000 ... in ascending or descending order; lastName, if given,
// replaces the last row's name.
std::string BenchFile(int rows, bool descending, const char* lastName = nullptr) {
    std::string file;
    file.reserve(static_cast<size_t>(rows) * 40);
    char record[96];
    for (int i = 0; i < rows; ++i) {
        int n = descending ? rows - 1 - i : i;
        if (lastName && i == rows - 1)
            snprintf(record, sizeof record, "%s\r\n%d\r\n0x%X\r\n", lastName, 7 * n, 7 * n);
        else
            snprintf(record, sizeof record, "BENCH_%05d\r\n%d\r\n0x%X\r\n", n, 7 * n, 7 * n);
        file += record;
    }
    return file;
}

// The whole of a file, or empty when it cannot be read.
std::string FileRead(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// The rows a constants file gives: three lines a row, a last row however few lines it has.
int FileRows(const std::string& file) {
    int lines = 0;
    for (size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\n' || (file[i] == '\r' && (i + 1 == file.size() || file[i + 1] != '\n')))
            ++lines;
    }
    if (!file.empty() && file.back() != '\n' && file.back() != '\r') ++lines;
    return lines == 0 ? 1 : (lines + 2) / 3;
}

// The default data set as this build made it, else the checked-in sample.
std::string DefaultDataSet() {
    std::string file = FileRead(WindowsPath(BUILT_DATA_SET));
    return file.empty() ? FileRead(WindowsPath(SAMPLE_DATA_SET)) : file;
}

struct Outcome {
    double value = -1;  // seconds, percent or MB; negative: not measured
    std::string note;
};

bool Fail(Outcome& outcome, const ::testing::AssertionResult& result) {
    if (result) return false;
    outcome.note = result.message();
    return true;
}

void End(DruxRun& run) {
    if (run.ForegroundMake()) KeyPress(VK_ESCAPE);
    DWORD code = 0;
    run.ExitWait(&code, 5000);
    run.Terminate();
}

// From the launch until the program is ready: every row in the list and a right press on the
// background opening the popup menu, which either program makes only once its rows and their keys
// are in (DRUX after its second beep). A right press every 10 ms asks for it, the same for both.
// The file is written before the clock starts, into a directory of the measure's own.
Outcome ReadyMeasure(const Program& program, const std::string& file, int rows) {
    Outcome outcome;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char directory[MAX_PATH];
    static int measureCount = 0;
    snprintf(directory, sizeof directory, "%sdrux-bench-%lu-%d", temp,
             static_cast<unsigned long>(GetCurrentProcessId()), ++measureCount);
    const std::string constants = std::string(directory) + "\\Constants.out";
    CreateDirectoryA(directory, nullptr);
    HANDLE handle = CreateFileA(constants.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (handle != INVALID_HANDLE_VALUE) {
        WriteFile(handle, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
        CloseHandle(handle);
    }
    struct Cleanup {
        std::string file, directory;
        ~Cleanup() {
            DeleteFileA(file.c_str());
            RemoveDirectoryA(directory.c_str());
        }
    } cleanup{constants, directory};
    if (written != file.size()) {
        outcome.note = "cannot write " + constants;
        return outcome;
    }
    DruxRun run(program.executable, program.title);
    run.SendTimeoutSet(COMMAND_LIMIT_MS);
    run.WorkingDirectorySet(directory);
    if (Fail(outcome, PointerPlace(LAUNCH_POINTER))) return outcome;
    double start = Now();
    if (Fail(outcome, run.Launch(nullptr)) || Fail(outcome, run.WindowWait(30000))) return outcome;
    if (Fail(outcome, run.LoadWait(rows, LOAD_LIMIT_MS, 10))) {
        outcome.note += " (" + std::to_string(run.ItemCount()) + " rows)";
    } else {
        outcome.value = Now() - start;
    }
    End(run);
    return outcome;
}

// Rows stand in descending name order; the first click on "Name" sorts them ascending.
Outcome SortMeasure(const Program& program, int rows) {
    Outcome outcome;
    std::string file = BenchFile(rows, true);
    DruxRun run(program.executable, program.title);
    run.SendTimeoutSet(COMMAND_LIMIT_MS);
    if (Fail(outcome, run.Start(&file, rows, LOAD_LIMIT_MS))) return outcome;
    RECT header = run.HeaderItemRectScreen(0);
    POINT centre = {(header.left + header.right) / 2, (header.top + header.bottom) / 2};
    MouseMove(centre);
    double start = Now();
    MouseClick(centre);
    bool sorted = PollUntil(
        [&] {
            return run.ItemText(0, 0) == "BENCH_00000" &&
                   (!program.reindexes || run.ItemParam(rows - 1) == rows - 1);
        },
        COMMAND_LIMIT_MS, 2);
    if (sorted)
        outcome.value = Now() - start;
    else
        outcome.note = "not sorted within the limit";
    End(run);
    return outcome;
}

// Only the last row holds the text, so each F3 tests every row, as a miss does. A click on row
// 0 between passes makes the selection of the last row observable again.
Outcome FindPassMeasure(const Program& program, int rows) {
    Outcome outcome;
    std::string file = BenchFile(rows, false, "BENCH_LAST");
    DruxRun run(program.executable, program.title);
    run.SendTimeoutSet(COMMAND_LIMIT_MS);
    if (Fail(outcome, run.Start(&file, rows, LOAD_LIMIT_MS)) || Fail(outcome, run.ForegroundMake()))
        return outcome;
    if (program.reindexes) {
        // DRUX asks for the text first.
        KeyPress('F', WITH_CONTROL);
        HWND prompt = nullptr;
        if (Fail(outcome, run.TopLevelWait("InputRequester", "User input", &prompt)))
            return outcome;
        HWND edit = GetDlgItem(prompt, 10);
        PollUntil(
            [&] {
                GUITHREADINFO info = {};
                info.cbSize = sizeof info;
                return GetGUIThreadInfo(GetWindowThreadProcessId(prompt, nullptr), &info) &&
                       info.hwndFocus == edit;
            },
            3000);
        TextType("BENCH_LAST");
        PollUntil([&] { return run.WindowText(edit) == "BENCH_LAST"; }, 3000);
        KeyPress(VK_RETURN);
        if (Fail(outcome, run.SelectionWait(rows - 1, COMMAND_LIMIT_MS))) return outcome;
    }
    std::vector<double> passes;
    for (int pass = 0; pass < 3; ++pass) {
        // Each pass clicks a spot of its own: two quick clicks on one spot make a double click.
        RECT item = run.ItemRect(run.TopIndex());
        POINT onRow = run.ClientToScreenPoint(run.List(), item.left + 60 + 40 * pass,
                                              (item.top + item.bottom) / 2);
        MouseMove(onRow);
        MouseClick(onRow);
        if (Fail(outcome, run.SelectionWait(run.TopIndex()))) return outcome;
        double start = Now();
        KeyPress(VK_F3);
        if (Fail(outcome, run.SelectionWait(rows - 1, COMMAND_LIMIT_MS))) return outcome;
        passes.push_back(Now() - start);
    }
    std::sort(passes.begin(), passes.end());
    outcome.value = passes[1];
    End(run);
    return outcome;
}

// The process's memory as Linux counts it, read through Wine's Z: drive from /proc: the Wine
// process of the program is the one of this Wine prefix whose command line names its executable.
// Peak resident memory (VmHWM) and anonymous resident memory (RssAnon) are the kernel's own
// figures and do not depend on how Wine lays out its heaps, unlike the working set that Wine
// reports. Empty where there is no /proc (Windows).
struct LinuxMemory {
    double peakResidentMb = -1;
    double anonymousMb = -1;
};

std::string BaseName(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return name;
}

double StatusFieldMb(const std::string& status, const char* field) {
    size_t at = status.find(std::string("\n") + field + ":");
    if (at == std::string::npos) return -1;
    return atof(status.c_str() + at + strlen(field) + 2) / 1024.0;
}

LinuxMemory LinuxMemoryOf(const std::string& executable) {
    LinuxMemory memory;
    char prefix[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) return memory;
    const std::string wanted = BaseName(executable);
    const std::string prefixEntry = std::string("WINEPREFIX=") + prefix;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) return memory;
    do {
        const char* name = entry.cFileName;
        if (!isdigit(static_cast<unsigned char>(name[0]))) continue;
        const std::string directory = std::string("Z:\\proc\\") + name + "\\";
        std::string commandLine = FileRead(directory + "cmdline");
        if (BaseName(commandLine.c_str()) != wanted) continue;  // the first argument
        std::string environment = FileRead(directory + "environ");
        bool ours = false;
        for (size_t at = 0; at < environment.size(); at += strlen(environment.c_str() + at) + 1)
            if (prefixEntry == environment.c_str() + at) ours = true;
        if (!ours) continue;
        std::string status = "\n" + FileRead(directory + "status");
        memory.peakResidentMb = StatusFieldMb(status, "VmHWM");
        memory.anonymousMb = StatusFieldMb(status, "RssAnon");
        break;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return memory;
}

// The program's memory after loading rows records, in MB: its peak resident memory, or with
// anonymous set its anonymous resident memory then.
Outcome MemoryMeasure(const Program& program, int rows, bool anonymous) {
    Outcome outcome;
    std::string file = BenchFile(rows, false);
    DruxRun run(program.executable, program.title);
    run.SendTimeoutSet(COMMAND_LIMIT_MS);
    if (Fail(outcome, run.Start(&file, rows, LOAD_LIMIT_MS))) return outcome;
    LinuxMemory memory = LinuxMemoryOf(program.executable);
    outcome.value = anonymous ? memory.anonymousMb : memory.peakResidentMb;
    if (outcome.value < 0) outcome.note = "no /proc of the Wine process here";
    End(run);
    return outcome;
}

// CPU time over a few seconds after the load, as a share of one core.
Outcome IdleMeasure(const Program& program, int rows) {
    Outcome outcome;
    std::string file = BenchFile(rows, false);
    DruxRun run(program.executable, program.title);
    if (Fail(outcome, run.Start(&file, rows, LOAD_LIMIT_MS))) return outcome;
    Sleep(500);
    ULONGLONG before = run.CpuTime();
    double start = Now();
    Sleep(3000);
    ULONGLONG after = run.CpuTime();
    double wall = Now() - start;
    outcome.value = 100.0 * static_cast<double>(after - before) / 1e7 / wall;
    if (before == 0 && after == 0) outcome.note = "no CPU times for another process here";
    End(run);
    return outcome;
}

std::string Number(double value, const char* unit) {
    char text[32];
    if (unit[0] == '%')
        snprintf(text, sizeof text, "%.1f", value);
    else if (unit[0] == 'M')
        snprintf(text, sizeof text, "%.0f", value);
    else
        snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// The median of the runs that measured something, with the lowest and highest of them.
struct Summary {
    double median = -1;
    double low = -1;
    double high = -1;
    std::string note;
};

Summary Summarise(const std::vector<Outcome>& outcomes) {
    std::vector<double> values;
    std::string note;
    for (const Outcome& o : outcomes) {
        if (o.value >= 0)
            values.push_back(o.value);
        else if (note.empty())
            note = o.note;
    }
    Summary summary;
    if (values.empty()) {
        summary.note = note;
        return summary;
    }
    std::sort(values.begin(), values.end());
    summary.median = values[values.size() / 2];
    summary.low = values.front();
    summary.high = values.back();
    if (!note.empty())
        summary.note = note + " (in some runs)";
    else if (!outcomes.empty())
        summary.note = outcomes[0].note;
    return summary;
}

// "median unit (low-high)", the range only when the runs differ.
std::string Format(const Summary& summary, const char* unit) {
    if (summary.median < 0) return "-";
    std::string text = Number(summary.median, unit) + " " + unit;
    std::string low = Number(summary.low, unit);
    std::string high = Number(summary.high, unit);
    if (low != high) text += " (" + low + "-" + high + ")";
    return text;
}

std::string Ratio(const Summary& a, const Summary& b) {
    if (a.median <= 0 || b.median <= 0) return "-";
    char text[32];
    snprintf(text, sizeof text, "%.2fx", a.median / b.median);
    return text;
}

// The Linux load average, when there is one: how busy the machine was around the figures.
std::string LoadAverage() {
    std::string text = FileRead("Z:\\proc\\loadavg");
    size_t end = 0;
    for (int fields = 0; end < text.size() && fields < 3; ++end)
        if (text[end] == ' ' && ++fields == 3) break;
    return text.substr(0, end);
}

}  // namespace

// drux_bench [repeats [text]]: repeats of every measure (1 by default); with a text, only the
// measures whose description contains it. Each measure runs repeats times, DRUX and the baseline
// back to back: the machine may be shared, and one run can be far off.
int main(int argc, char** argv) {
    int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    std::string only = argc > 2 ? argv[2] : "";
    const Program drux = {"DRUX", DruxExecutable(), "DRUX", true};
    const Program bare = {"baseline", WindowsPath(BASELINE_EXE), "DRUX baseline", false};

    struct Row {
        std::string what;
        const char* unit;
        std::function<Outcome(const Program&)> measure;
    };
    std::vector<Row> rows;
    for (int records : {1000, 20000, 100000, 300000}) {
        char what[80];
        snprintf(what, sizeof what, "ready, %d,%03d records", records / 1000, records % 1000);
        rows.push_back({what, "s", [records](const Program& p) {
                            return ReadyMeasure(p, BenchFile(records, false), records);
                        }});
    }
    // Read only when asked for: the default data set is the file that users open.
    if (only.empty() || std::string("ready, default data set").find(only) != std::string::npos) {
        std::string dataSet = DefaultDataSet();
        int records = FileRows(dataSet);
        char what[80];
        snprintf(what, sizeof what, "ready, default data set (%d records)", records);
        rows.push_back({what, "s", [dataSet, records](const Program& p) {
                            return ReadyMeasure(p, dataSet, records);
                        }});
    }
    rows.push_back({"peak resident memory (VmHWM), 100,000 records", "MB",
                    [](const Program& p) { return MemoryMeasure(p, 100000, false); }});
    rows.push_back({"anonymous resident memory (RssAnon), 100,000 records", "MB",
                    [](const Program& p) { return MemoryMeasure(p, 100000, true); }});
    rows.push_back({"header-click sort, 20,000 rows", "s",
                    [](const Program& p) { return SortMeasure(p, 20000); }});
    rows.push_back({"F3 pass over 20,000 rows (hit only in the last)", "s",
                    [](const Program& p) { return FindPassMeasure(p, 20000); }});
    rows.push_back({"idle CPU after loading 20,000 records", "%",
                    [](const Program& p) { return IdleMeasure(p, 20000); }});

    // The same sources build for 32-bit and for x86-64; the figures differ between the two. The
    // benchmark measures only programs the machine runs natively: the 32-bit build where Wine's
    // 32-bit loader works, else the x86-64 build, never an emulated one.
    printf("build measured: %s\n", sizeof(void*) == 8
                                       ? "x86-64, run natively by Wine's 64-bit loader (wine64)"
                                       : "32-bit, run natively by Wine's 32-bit loader");
    printf(
        "ready: every row in the list and a right press on the background opening the popup "
        "menu\n");
    printf("memory: the Wine process's own counters in Linux's /proc (VmHWM, RssAnon)\n");
    std::string load = LoadAverage();
    if (!load.empty()) printf("load average at the start: %s\n", load.c_str());
    printf("median of %d run%s each, DRUX and baseline back to back; (lowest-highest)\n", repeats,
           repeats == 1 ? "" : "s");
    printf("%-54s %-24s %-24s %s\n", "measure", "DRUX", "baseline", "ratio");
    fflush(stdout);
    std::vector<std::string> notes;
    for (const Row& row : rows) {
        if (!only.empty() && row.what.find(only) == std::string::npos) continue;
        std::vector<Outcome> druxRuns, bareRuns;
        for (int i = 0; i < repeats; ++i) {
            druxRuns.push_back(row.measure(drux));
            bareRuns.push_back(row.measure(bare));
        }
        Summary a = Summarise(druxRuns);
        Summary b = Summarise(bareRuns);
        printf("%-54s %-24s %-24s %s\n", row.what.c_str(), Format(a, row.unit).c_str(),
               Format(b, row.unit).c_str(), Ratio(a, b).c_str());
        fflush(stdout);
        if (!a.note.empty()) notes.push_back(row.what + ", DRUX: " + a.note);
        if (!b.note.empty()) notes.push_back(row.what + ", baseline: " + b.note);
    }
    if (!load.empty()) printf("load average at the end: %s\n", LoadAverage().c_str());
    for (const std::string& note : notes) printf("note: %s\n", note.c_str());
    return 0;
}
