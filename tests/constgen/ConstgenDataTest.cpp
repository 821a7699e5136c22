// The Constants.out that the build computes with the cross compiler from the MinGW-w64 headers:
// its format and values worked out by hand from the headers. A build without the compiler copies
// the checked-in sample instead, which holds the same hand-checked constants. (Every value against
// the compiler itself: data_set_matches_compiler.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "ConstgenSupport.h"

#ifndef CONSTGEN_DATA_FILE
#error "CONSTGEN_DATA_FILE names the generated Constants.out"
#endif
#ifndef CONSTGEN_DATA_GENERATED
#define CONSTGEN_DATA_GENERATED 1
#endif

namespace {

class ConstgenData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        records.clear();
        byName.clear();
        parsed = RecordsParse(FileBytes(CONSTGEN_DATA_FILE), records, parseError);
        for (const ConstantRecord& record : records) {
            byName.emplace(record.name, record);
        }
    }

    static bool parsed;
    static std::string parseError;
    static std::vector<ConstantRecord> records;
    static std::map<std::string, ConstantRecord> byName;
};

bool ConstgenData::parsed = false;
std::string ConstgenData::parseError;
std::vector<ConstantRecord> ConstgenData::records;
std::map<std::string, ConstantRecord> ConstgenData::byName;

TEST_F(ConstgenData, EveryRecordIsWellFormed) {
    ASSERT_TRUE(parsed) << CONSTGEN_DATA_FILE << ": " << parseError;
    if (CONSTGEN_DATA_GENERATED) {
        ASSERT_GT(records.size(), 50000u) << "the Win32 API's headers hold more";
    }
    EXPECT_EQ(byName.size(), records.size()) << "a name appears twice";
    for (const ConstantRecord& record : records) {
        SCOPED_TRACE(record.name);
        ASSERT_FALSE(record.name.empty());
        ASSERT_LE(record.name.size(), 1024u);
        // Decimal is the signed reading of the 32-bit pattern that the hex line shows.
        char* end = nullptr;
        long long decimal = strtoll(record.decimal.c_str(), &end, 10);
        ASSERT_EQ(*end, '\0');
        ASSERT_GE(decimal, INT32_MIN);
        ASSERT_LE(decimal, INT32_MAX);
        ASSERT_EQ(record.hex.compare(0, 2, "0x"), 0);
        ASSERT_EQ(record.hex.find_first_not_of("0123456789ABCDEF", 2), std::string::npos);
        ASSERT_TRUE(record.hex.size() == 3 || record.hex[2] != '0') << "leading zero";
        unsigned long long hex = strtoull(record.hex.c_str() + 2, &end, 16);
        ASSERT_EQ(static_cast<uint32_t>(hex), static_cast<uint32_t>(decimal));
        ASSERT_LE(hex, 0xFFFFFFFFull);
    }
}

TEST_F(ConstgenData, ValuesWorkedOutFromTheHeaders) {
    const ConstantRecord expected[] = {
        {"WM_PAINT", "15", "0xF"},
        {"LVM_SORTITEMS", "4144", "0x1030"},              // LVM_FIRST + 48
        {"E_ACCESSDENIED", "-2147024891", "0x80070005"},  // _HRESULT_TYPEDEF_(0x80070005)
        {"WS_DLGFRAME", "4194304", "0x400000"},           // __MSABI_LONG(0x00400000)
        // WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
        // WS_MAXIMIZEBOX = 0 | 0xC00000 | 0x80000 | 0x40000 | 0x20000 | 0x10000
        {"WS_OVERLAPPEDWINDOW", "13565952", "0xCF0000"},
        {"WS_POPUP", "-2147483648", "0x80000000"},
        // Handle casts give the handle's 32-bit value.
        {"HWND_BROADCAST", "65535", "0xFFFF"},
        {"HWND_TOPMOST", "-1", "0xFFFFFFFF"},
        {"HWND_MESSAGE", "-3", "0xFFFFFFFD"},
        {"INVALID_HANDLE_VALUE", "-1", "0xFFFFFFFF"},        // (HANDLE)(LONG_PTR)-1
        {"HKEY_CURRENT_USER", "-2147483647", "0x80000001"},  // via (LONG)0x80000001
        {"IDC_ARROW", "32512", "0x7F00"},                    // MAKEINTRESOURCEA(32512)
        // Notification codes count down from an unsigned 0U - n.
        {"LVN_COLUMNCLICK", "-108", "0xFFFFFF94"},       // (0U-100U) - 8
        {"LVN_GETDISPINFO", "-150", "0xFFFFFF6A"},       // the ANSI one: LVN_FIRST-50
        {"TVN_SELCHANGED", "-402", "0xFFFFFE6E"},        // (0U-400U) - 2
        {"CW_USEDEFAULT", "-2147483648", "0x80000000"},  // (int)0x80000000
        // The ANSI names, not the wide ones: LVM_GETITEMA = LVM_FIRST + 5, W is + 75.
        {"LVM_GETITEM", "4101", "0x1005"},
        {"INFINITE", "-1", "0xFFFFFFFF"},
        {"E_FAIL", "-2147467259", "0x80004005"},
        {"GENERIC_READ", "-2147483648", "0x80000000"},
        {"STATUS_ACCESS_VIOLATION", "-1073741819", "0xC0000005"},  // (DWORD)0xC0000005
        // From the x86 block of winnt.h; the AMD64 block's CONTEXT_ALL has 0x100000 in it.
        {"CONTEXT_ALL", "65599", "0x1003F"},
        {"MAX_PATH", "260", "0x104"},
        {"VK_F3", "114", "0x72"},
        {"TRUE", "1", "0x1"},
        {"ERROR_FILE_NOT_FOUND", "2", "0x2"},
        {"WM_USER", "1024", "0x400"},
        {"EM_SETSEL", "177", "0xB1"},
        {"MB_ICONERROR", "16", "0x10"},  // MB_ICONHAND
        {"FILE_ATTRIBUTE_NORMAL", "128", "0x80"},
        {"LVIS_SELECTED", "2", "0x2"},
        // The target's own values, not the headers' fallbacks for other compilers.
        {"_M_IX86", "600", "0x258"},
        {"SM_CMETRICS", "97", "0x61"},  // the last #if'd SM_CMETRICS definition that applies
        {"WINVER", "2560", "0xA00"},
        {"DWLP_USER", "8", "0x8"},                 // DWLP_DLGPROC + sizeof(DLGPROC)
        {"LVITEMA_V1_SIZE", "36", "0x24"},         // CCSIZEOF_STRUCT(LVITEMA, lParam)
        {"FIONREAD", "1074030207", "0x4004667F"},  // _IOR('f', 127, u_long)
        {"WHEEL_PAGESCROLL", "-1", "0xFFFFFFFF"},  // UINT_MAX
        {"OBM_CLOSE", "32754", "0x7FF2"},          // OEMRESOURCE is defined for the set
        {"SOCKET_ERROR", "-1", "0xFFFFFFFF"},
        {"PSN_APPLY", "-202", "0xFFFFFF36"},
        {"CALG_SHA_256", "32780", "0x800C"},
        {"FSCTL_GET_REPARSE_POINT", "589992", "0x900A8"},
        {"COINIT_APARTMENTTHREADED", "2", "0x2"},
        {"D3DERR_INVALIDCALL", "-2005530516", "0x8876086C"},
    };
    for (const ConstantRecord& record : expected) {
        SCOPED_TRACE(record.name);
        auto found = byName.find(record.name);
        ASSERT_NE(found, byName.end());
        EXPECT_EQ(found->second, record);
    }
}

TEST_F(ConstgenData, WhatIsNoIntegerConstantIsLeftOut) {
    const char* const absent[] = {
        "MAKEINTRESOURCE",          // names the function-like MAKEINTRESOURCEA
        "_HRESULT_TYPEDEF_",        // function-like
        "RICHEDIT_CLASS",           // a string
        "__MINGW64_VERSION_MAJOR",  // excluded by the build: "__*" are the compiler's
        "_WIN32",                   // predefined by the compiler
        "_M_AMD64",                 // other architectures
        "_M_X64",
        "SEE_MASK_ICON",     // behind versions the headers' defaults leave out
        "ASC_REQ_MESSAGES",  // 0x0000000100000000, wider than 32 bits
        "DBL_MAX",           // floating point
    };
    if (!CONSTGEN_DATA_GENERATED) {
        return;
    }
    for (const char* name : absent) {
        SCOPED_TRACE(name);
        EXPECT_EQ(byName.count(name), 0u);
    }
}

TEST_F(ConstgenData, OpensOnConstantsOfTheWindowsApi) {
    // The rows a user sees first: winuser.h's, never the compiler's or the runtime's macros.
    ASSERT_TRUE(parsed) << parseError;
    for (size_t i = 0; i < records.size() && i < 200; ++i) {
        SCOPED_TRACE(records[i].name);
        EXPECT_NE(records[i].name[0], '_');
    }
}

TEST_F(ConstgenData, ConstgenOverTheDefaultHeadersAgreesWithTheCompiler) {
    // constgen reads the same headers without a compiler: every branch of what it cannot decide,
    // the first definition of a name winning. Its accuracy against the compiler's data set, with
    // the target and the set's feature and version macros pinned.
    if (!CONSTGEN_DATA_GENERATED) {
        GTEST_SKIP() << "the data set is the checked-in sample";
    }
    ASSERT_TRUE(parsed) << parseError;
    const std::vector<std::string> pins = {"-U", "UNICODE",
                                           "-U", "_UNICODE",
                                           "-U", "RC_INVOKED",
                                           "-U", "__WIDL__",
                                           "-U", "__cplusplus",
                                           "-U", "_MSC_VER",
                                           "-D", "_WIN32",
                                           "-D", "WIN32",
                                           "-D", "_X86_",
                                           "-D", "__i386__",
                                           "-D", "__MINGW32__",
                                           "-D", "__GNUC__=12",
                                           "-U", "_WIN64",
                                           "-U", "_AMD64_",
                                           "-U", "__x86_64",
                                           "-U", "__x86_64__",
                                           "-U", "__LP64__",
                                           "-U", "_ARM_",
                                           "-U", "__arm__",
                                           "-U", "_ARM64_",
                                           "-U", "__aarch64__",
                                           "-U", "_IA64_",
                                           "-U", "__ia64__",
                                           "-U", "_M_AMD64",
                                           "-U", "_M_X64",
                                           "-U", "_M_ARM",
                                           "-U", "_M_ARM64",
                                           "-U", "_M_IA64",
                                           "-U", "_WIN32_WCE",
                                           "-D", "OEMRESOURCE",
                                           "-D", "SECURITY_WIN32",
                                           "-D", "DIRECTINPUT_VERSION=0x0800",
                                           "-D", "_WIN32_WINNT=0xA00",
                                           "-D", "WINVER=0xA00",
                                           "-D", "_WIN32_IE=0xA00",
                                           "-D", "NTDDI_VERSION=0x0A000000"};
    ScratchDirectory scratch;
    std::vector<std::string> arguments = {"--follow",  "-q",  "-I", CONSTGEN_MINGW_INCLUDE,
                                          "--exclude", "__*", "-o", scratch.Name("out.txt")};
    arguments.insert(arguments.end(), pins.begin(), pins.end());
    arguments.push_back(CONSTGEN_DATA_SET_HEADER);
    RunResult run = ConstgenRun(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<ConstantRecord> written;
    std::string error;
    ASSERT_TRUE(RecordsParse(FileBytes(scratch.Name("out.txt")), written, error)) << error;

    size_t agree = 0;
    std::vector<std::string> differ, unknown;
    for (const ConstantRecord& record : written) {
        auto found = byName.find(record.name);
        if (found == byName.end()) {
            unknown.push_back(record.name);
        } else if (found->second == record) {
            ++agree;
        } else {
            differ.push_back(record.name);
        }
    }
    // The data set's constants that come from the groups constgen was given.
    std::set<std::string> readable;
    std::string paths = CONSTGEN_DATA_READ_VALUES;
    for (size_t start = 0; start < paths.size();) {
        size_t end = paths.find('|', start);
        if (end == std::string::npos) end = paths.size();
        std::vector<ConstantRecord> group;
        std::string groupError;
        ASSERT_TRUE(RecordsParse(FileBytes(paths.substr(start, end - start)), group, groupError))
            << paths.substr(start, end - start) << ": " << groupError;
        for (const ConstantRecord& record : group) {
            if (byName.count(record.name)) readable.insert(record.name);
        }
        start = end + 1;
    }
    ASSERT_FALSE(readable.empty()) << "no group values at " << paths;
    const double accuracy = 100.0 * agree / written.size();
    size_t found = 0;
    for (const ConstantRecord& record : written) {
        auto known = byName.find(record.name);
        found += readable.count(record.name) && known != byName.end() && known->second == record;
    }
    const double coverage = 100.0 * found / readable.size();
    std::ostringstream report;
    report << "constgen wrote " << written.size() << " constants: " << agree
           << " as the compiler computes them (" << accuracy << " %), " << differ.size()
           << " with another value, " << unknown.size()
           << " the compiler does not define there; it found " << coverage << " % of the "
           << readable.size() << " constants of the data set's groups it reads (of "
           << records.size() << " in all).";
    for (size_t i = 0; i < differ.size() && i < 10; ++i) {
        report << (i == 0 ? " Differing: " : ", ") << differ[i];
    }
    std::cout << report.str() << "\n";
    RecordProperty("accuracy", report.str());
    // Floors a little under what it reaches now, so that a regression shows.
    EXPECT_GE(accuracy, 97.0) << report.str();
    EXPECT_GE(coverage, 97.0) << report.str();
}

}  // namespace
