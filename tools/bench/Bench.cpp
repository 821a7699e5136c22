// Prints DRUX's figures beside those of a bare baseline program doing the same with the least
// work: start-up to the end of the load, a header-click sort, a full find pass, idle CPU.
// Both programs run under Wine in the virtual desktop and are driven with real input.
#include "tests/app/Driver.h"

#include <psapi.h>

// KERNEL32's own (Windows 7 on, Wine), so the benchmark needs no PSAPI; the headers declare it
// only for Windows 7 targets.
extern "C" BOOL WINAPI K32GetProcessMemoryInfo(HANDLE process, PPROCESS_MEMORY_COUNTERS counters,
                                               DWORD size);

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

struct Outcome {
    double value = -1;  // seconds or percent; negative: not measured
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

Outcome StartupMeasure(const Program& program, int rows) {
    Outcome outcome;
    std::string file = BenchFile(rows, false);
    DruxRun run(program.executable, program.title);
    run.SendTimeoutSet(COMMAND_LIMIT_MS);
    if (Fail(outcome, PointerPlace(LAUNCH_POINTER))) return outcome;
    double start = Now();
    if (Fail(outcome, run.Launch(&file)) || Fail(outcome, run.WindowWait(30000))) return outcome;
    // The end of the load: all rows there and the popup menu made (DRUX makes it after the
    // re-indexing and the second beep); a right press every 20 ms asks for it.
    if (Fail(outcome, run.LoadWait(rows, LOAD_LIMIT_MS, 20))) {
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

// The most memory the program has held at once, after loading rows records, in MB.
Outcome PeakMemoryMeasure(const Program& program, int rows) {
    Outcome outcome;
    std::string file = BenchFile(rows, false);
    DruxRun run(program.executable, program.title);
    run.SendTimeoutSet(COMMAND_LIMIT_MS);
    if (Fail(outcome, run.Start(&file, rows, LOAD_LIMIT_MS))) return outcome;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (K32GetProcessMemoryInfo(run.Process(), &counters, sizeof counters))
        outcome.value = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    else
        outcome.note = "no memory counters for another process here";
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

std::string Format(const Outcome& outcome, const char* unit) {
    if (outcome.value < 0) return "-";
    char text[64];
    if (unit[0] == '%')
        snprintf(text, sizeof text, "%.1f %%", outcome.value);
    else if (unit[0] == 'M')
        snprintf(text, sizeof text, "%.0f MB", outcome.value);
    else
        snprintf(text, sizeof text, "%.3f s", outcome.value);
    return text;
}

std::string Ratio(const Outcome& a, const Outcome& b) {
    if (a.value <= 0 || b.value <= 0) return "-";
    char text[32];
    snprintf(text, sizeof text, "%.2fx", a.value / b.value);
    return text;
}

}  // namespace

// Each measure runs repeats times, DRUX and the baseline back to back, and the median counts:
// the machine may be shared, and one run can be far off.
Outcome Median(std::vector<Outcome> outcomes) {
    std::vector<double> values;
    std::string note;
    for (const Outcome& o : outcomes) {
        if (o.value >= 0)
            values.push_back(o.value);
        else if (note.empty())
            note = o.note;
    }
    Outcome median;
    if (values.empty()) {
        median.note = note;
        return median;
    }
    std::sort(values.begin(), values.end());
    median.value = values[values.size() / 2];
    if (!note.empty())
        median.note = note + " (in some runs)";
    else if (!outcomes.empty())
        median.note = outcomes[0].note;
    return median;
}

// drux_bench [repeats [text]]: repeats of every measure (1 by default); with a text, only the
// measures whose description contains it.
int main(int argc, char** argv) {
    int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    std::string only = argc > 2 ? argv[2] : "";
    std::string baseline = BASELINE_EXE;
    if (!baseline.empty() && baseline[0] == '/') {
        for (char& c : baseline)
            if (c == '/') c = '\\';
        baseline = "Z:" + baseline;
    }
    const Program drux = {"DRUX", DruxExecutable(), "DRUX", true};
    const Program bare = {"baseline", baseline, "DRUX baseline", false};

    struct Row {
        std::string what;
        const char* unit;
        std::function<Outcome(const Program&)> measure;
    };
    const std::vector<Row> rows = {
        {"start-up to end of load, 1,000 records", "s",
         [](const Program& p) { return StartupMeasure(p, 1000); }},
        {"start-up to end of load, 20,000 records", "s",
         [](const Program& p) { return StartupMeasure(p, 20000); }},
        {"start-up to end of load, 100,000 records", "s",
         [](const Program& p) { return StartupMeasure(p, 100000); }},
        {"start-up to end of load, 300,000 records", "s",
         [](const Program& p) { return StartupMeasure(p, 300000); }},
        {"peak working set, 100,000 records", "MB",
         [](const Program& p) { return PeakMemoryMeasure(p, 100000); }},
        {"header-click sort, 20,000 rows", "s",
         [](const Program& p) { return SortMeasure(p, 20000); }},
        {"F3 pass over 20,000 rows (hit only in the last)", "s",
         [](const Program& p) { return FindPassMeasure(p, 20000); }},
        {"idle CPU after loading 20,000 records", "%",
         [](const Program& p) { return IdleMeasure(p, 20000); }},
    };

    // The same sources build for 32-bit and for x86-64; the figures differ between the two.
    printf("build measured: %s\n", sizeof(void*) == 8 ? "x86-64 (64-bit Wine loader)" : "32-bit");
    if (repeats > 1) printf("median of %d runs each, DRUX and baseline back to back\n", repeats);
    printf("%-50s %12s %12s %8s\n", "measure", "DRUX", "baseline", "ratio");
    fflush(stdout);
    std::vector<std::string> notes;
    for (const Row& row : rows) {
        if (!only.empty() && row.what.find(only) == std::string::npos) continue;
        std::vector<Outcome> druxRuns, bareRuns;
        for (int i = 0; i < repeats; ++i) {
            druxRuns.push_back(row.measure(drux));
            bareRuns.push_back(row.measure(bare));
        }
        Outcome a = Median(druxRuns);
        Outcome b = Median(bareRuns);
        printf("%-50s %12s %12s %8s\n", row.what.c_str(), Format(a, row.unit).c_str(),
               Format(b, row.unit).c_str(), Ratio(a, b).c_str());
        fflush(stdout);
        if (!a.note.empty()) notes.push_back(row.what + ", DRUX: " + a.note);
        if (!b.note.empty()) notes.push_back(row.what + ", baseline: " + b.note);
    }
    for (const std::string& note : notes) printf("note: %s\n", note.c_str());
    return 0;
}
