// The Windows package as a user meets it: unpacked into an empty folder, it holds DRUX.exe, the
// default Constants.out, its x86-64 values Constants-x64.out, constgen.exe and README.txt;
// DRUX.exe started there shows the data set, and "DRUX.exe Constants-x64.out" the x86-64 values,
// 64-bit ones in full. What Explorer, the taskbar and a careful user read, through the platform's
// own calls: both programs' version resources carry the version in the zip's name and their icon
// resource 1 is DRUX's, drawn in each size; the main window has it as its class icon; the
// checksum file beside the zip holds the zip's SHA-256.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "tests/app/Driver.h"

namespace e2e {
namespace {

std::set<std::string> FolderFiles(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.insert(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string FileRead(const std::string& path) {
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char block[65536];
    DWORD read = 0;
    while (ReadFile(h, block, sizeof block, &read, nullptr) && read > 0) bytes.append(block, read);
    CloseHandle(h);
    return bytes;
}

// Lines end at CR LF, LF or CR, as DRUX reads them.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// The unpacked folder, Wine's name of the zip itself and its version, from package-test.sh.
struct Package {
    std::string folder;
    std::string zip;
    std::string zipName;
    std::string version;  // "1.0.0" of DRUX-1.0.0-win32.zip
    WORD parts[4] = {};   // 1, 0, 0, 0
};

::testing::AssertionResult PackageRead(Package* package) {
    const char* folder = getenv("DRUX_PACKAGE_DIR");
    const char* zip = getenv("DRUX_PACKAGE_ZIP");
    if (!folder || !zip)
        return ::testing::AssertionFailure()
               << "DRUX_PACKAGE_DIR and DRUX_PACKAGE_ZIP name the unpacked folder and its zip "
                  "(tests/harness/package-test.sh)";
    package->folder = folder;
    package->zip = zip;
    package->zipName = package->zip.substr(package->zip.find_last_of("\\/") + 1);
    const std::string& name = package->zipName;
    const std::string prefix = "DRUX-", suffix32 = "-win32.zip", suffix64 = "-win64.zip";
    const size_t suffix = suffix32.size();
    if (name.size() <= prefix.size() + suffix || name.compare(0, prefix.size(), prefix) != 0 ||
        (name.compare(name.size() - suffix, suffix, suffix32) != 0 &&
         name.compare(name.size() - suffix, suffix, suffix64) != 0))
        return ::testing::AssertionFailure() << "not a package's name: " << name;
    package->version = name.substr(prefix.size(), name.size() - prefix.size() - suffix);
    unsigned major = 0, minor = 0, patch = 0;
    char end = 0;
    if (sscanf(package->version.c_str(), "%u.%u.%u%c", &major, &minor, &patch, &end) != 3 ||
        major > 0xFFFF || minor > 0xFFFF || patch > 0xFFFF)
        return ::testing::AssertionFailure() << "not a version: " << package->version;
    package->parts[0] = static_cast<WORD>(major);
    package->parts[1] = static_cast<WORD>(minor);
    package->parts[2] = static_cast<WORD>(patch);
    return ::testing::AssertionSuccess();
}

bool RunningOnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(DruxPackage, StartsFromTheUnpackedFolderOnTheDefaultDataSet) {
    const char* folder = getenv("DRUX_PACKAGE_DIR");
    ASSERT_TRUE(folder)
        << "DRUX_PACKAGE_DIR names the unpacked folder (tests/harness/package-test.sh)";
    const std::set<std::string> expected = {"Constants-x64.out", "Constants.out", "DRUX.exe",
                                            "README.txt", "constgen.exe"};
    EXPECT_EQ(FolderFiles(folder), expected);

    const std::vector<std::string> lines = Lines(FileRead(std::string(folder) + "\\Constants.out"));
    const int rows = static_cast<int>((lines.size() + 2) / 3);
    ASSERT_GT(rows, 1000) << "the default data set is missing or small";

    DruxRun run;
    run.WorkingDirectorySet(folder);
    ASSERT_TRUE(run.Start(nullptr, rows, 60000));
    for (int row : {0, rows / 2, rows - 1}) {
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_EQ(run.ItemText(row, 0), lines[3 * row]);
    }
    // The taskbar and Alt+Tab show the class icon, which the window layer loads from icon
    // resource 1: none without the resource. Wine cannot read another process's class icon (the
    // call fails with ERROR_INVALID_HANDLE); there the icon test below makes the window layer's
    // own LoadIconA call on the resource instead.
    SetLastError(0);
    const ULONG_PTR classIcon = GetClassLongPtrA(run.Window(), GCLP_HICON);
    if (classIcon == 0 && GetLastError() == ERROR_INVALID_HANDLE && RunningOnWine())
        RecordProperty("class_icon", "not readable from another process under Wine");
    else
        EXPECT_NE(classIcon, 0u) << GetLastError();
    ASSERT_TRUE(run.EscapeExit());
}

TEST(DruxPackage, OpensTheX64ValuesWithTheirFullWidth) {
    const char* folder = getenv("DRUX_PACKAGE_DIR");
    ASSERT_TRUE(folder)
        << "DRUX_PACKAGE_DIR names the unpacked folder (tests/harness/package-test.sh)";
    const std::vector<std::string> lines =
        Lines(FileRead(std::string(folder) + "\\Constants-x64.out"));
    const int rows = static_cast<int>((lines.size() + 2) / 3);
    ASSERT_GT(rows, 1000) << "the x86-64 data set is missing or small";
    // The rows with the longest decimal and the longest hex text of the file, values wider than
    // 32 bits (up to 20 characters), each shown whole.
    int longestDecimal = 0, longestHex = 0;
    for (int row = 0; 3 * row + 2 < static_cast<int>(lines.size()); ++row) {
        if (lines[3 * row + 1].size() > lines[3 * longestDecimal + 1].size()) longestDecimal = row;
        if (lines[3 * row + 2].size() > lines[3 * longestHex + 2].size()) longestHex = row;
    }
    ASSERT_GT(lines[3 * longestHex + 2].size(), 10u) << "no value wider than 32 bits";

    DruxRun run;
    run.WorkingDirectorySet(folder);
    run.ArgumentsSet("Constants-x64.out");
    ASSERT_TRUE(run.Start(nullptr, rows, 60000));
    for (int row : {longestDecimal, longestHex}) {
        SCOPED_TRACE(lines[3 * row]);
        EXPECT_EQ(run.ItemText(row, 0), lines[3 * row]);
        EXPECT_EQ(run.ItemText(row, 1), lines[3 * row + 1]);
        EXPECT_EQ(run.ItemText(row, 2), lines[3 * row + 2]);
    }
    ASSERT_TRUE(run.EscapeExit());
}

std::string VersionString(const std::vector<char>& info, const std::string& block,
                          const char* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::string path = "\\StringFileInfo\\" + block + "\\" + name;
    if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || !value) return "(none)";
    // The length counts the terminating zero, which some resource compilers leave out.
    std::string text(static_cast<const char*>(value), length);
    return text.substr(0, text.find('\0'));
}

TEST(DruxPackage, ProgramsCarryTheVersionOfTheZip) {
    Package package;
    ASSERT_TRUE(PackageRead(&package));
    for (const char* program : {"DRUX.exe", "constgen.exe"}) {
        SCOPED_TRACE(program);
        const std::string path = package.folder + "\\" + program;
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version resource";
        std::vector<char> info(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        ASSERT_GE(length, sizeof *fixed);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        const DWORD ms = MAKELONG(package.parts[1], package.parts[0]);
        const DWORD ls = MAKELONG(package.parts[3], package.parts[2]);
        EXPECT_EQ(fixed->dwFileVersionMS, ms);
        EXPECT_EQ(fixed->dwFileVersionLS, ls);
        EXPECT_EQ(fixed->dwProductVersionMS, ms);
        EXPECT_EQ(fixed->dwProductVersionLS, ls);

        // The strings of the language the resource names first, as Explorer's Details page
        // finds them.
        WORD* translation = nullptr;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                                   reinterpret_cast<void**>(&translation), &length));
        ASSERT_GE(length, 4u);
        char block[16];
        snprintf(block, sizeof block, "%04x%04x", translation[0], translation[1]);
        EXPECT_EQ(VersionString(info, block, "FileVersion"), package.version);
        EXPECT_EQ(VersionString(info, block, "ProductVersion"), package.version);
        EXPECT_EQ(VersionString(info, block, "ProductName"), "DRUX");
        EXPECT_EQ(VersionString(info, block, "OriginalFilename"), program);
        const std::string description = VersionString(info, block, "FileDescription");
        EXPECT_TRUE(description != "(none)" && !description.empty()) << description;
    }
    const std::string readme = FileRead(package.folder + "\\README.txt");
    EXPECT_EQ(readme.compare(0, 6 + package.version.size(), "DRUX " + package.version + " "), 0)
        << readme.substr(0, 80);
    EXPECT_NE(readme.find("certutil -hashfile " + package.zipName + " SHA256"), std::string::npos);
}

// Top row first, 0x00RRGGBB.
std::vector<DWORD> IconPixels(HICON icon, int size) {
    std::vector<DWORD> pixels;
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return pixels;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size;
    format.bmiHeader.biHeight = -size;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    pixels.resize(static_cast<size_t>(size * size));
    HDC screen = GetDC(nullptr);
    if (!info.hbmColor ||
        GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS) != size)
        pixels.clear();
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return pixels;
}

TEST(DruxPackage, ProgramsCarryDruxsIconDrawnInEachSize) {
    Package package;
    ASSERT_TRUE(PackageRead(&package));
    for (const char* program : {"DRUX.exe", "constgen.exe"}) {
        const std::string path = package.folder + "\\" + program;
        // As Explorer reads another program's resources: mapped, never run.
        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module) << program << ": " << GetLastError();
        HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(1), RT_GROUP_ICON);
        ASSERT_TRUE(group) << program << ": no icon resource 1";
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
        ASSERT_TRUE(directory);
        // The window layer's call for the class icon.
        EXPECT_TRUE(LoadIconA(module, MAKEINTRESOURCEA(1))) << program << ": " << GetLastError();
        for (int size : {16, 32, 48}) {
            SCOPED_TRACE(std::string(program) + " at " + std::to_string(size) + " pixels");
            // The image the system picks for this size is one of exactly this size, not one
            // that it would scale.
            const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0);
            HRSRC image = id ? FindResourceA(module, MAKEINTRESOURCEA(id), RT_ICON) : nullptr;
            ASSERT_TRUE(image);
            auto* header =
                static_cast<BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
            ASSERT_TRUE(header && SizeofResource(module, image) >= sizeof *header);
            EXPECT_EQ(header->biWidth, size);
            EXPECT_EQ(header->biHeight, 2 * size);

            HICON icon = static_cast<HICON>(
                LoadImageA(module, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
            ASSERT_TRUE(icon) << GetLastError();
            const std::vector<DWORD> pixels = IconPixels(icon, size);
            DestroyIcon(icon);
            ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size));
            // The outer ring, bright blue, on every side; down the middle, inside the list,
            // the rows' pale yellow and dark blue.
            for (POINT ring : {POINT{1, size / 2}, POINT{size - 2, size / 2}, POINT{size / 2, 1},
                               POINT{size / 2, size - 2}})
                EXPECT_EQ(pixels[ring.y * size + ring.x], 0x0000FFu) << ring.x << "," << ring.y;
            std::set<DWORD> middle;
            for (int y = 0; y < size; ++y) middle.insert(pixels[y * size + size / 2]);
            EXPECT_EQ(middle.count(0xFFFFD0), 1u);
            EXPECT_EQ(middle.count(0x00005F), 1u);
        }
        FreeLibrary(module);
    }
}

// The headers offer SHA-256 only from XP SP3 on, above the XP the build targets; every system
// that runs the tests has it.
#ifndef CALG_SHA_256
#define CALG_SHA_256 (ALG_CLASS_HASH | ALG_TYPE_ANY | 12)  // ALG_SID_SHA_256
#endif

// sha256sum's hexadecimal form, by the platform's own hash (the one certutil uses).
std::string Sha256Hex(const std::string& bytes) {
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT))
        return "(no SHA-256 provider)";
    std::string hex;
    HCRYPTHASH hash = 0;
    BYTE value[32];
    DWORD length = sizeof value;
    if (CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash) &&
        CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()),
                      static_cast<DWORD>(bytes.size()), 0) &&
        CryptGetHashParam(hash, HP_HASHVAL, value, &length, 0) && length == sizeof value) {
        for (BYTE b : value) {
            char pair[3];
            snprintf(pair, sizeof pair, "%02x", b);
            hex += pair;
        }
    }
    if (hash) CryptDestroyHash(hash);
    CryptReleaseContext(provider, 0);
    return hex.empty() ? "(hashing failed)" : hex;
}

TEST(DruxPackage, ChecksumFileHoldsTheZipsSha256) {
    Package package;
    ASSERT_TRUE(PackageRead(&package));
    const std::string zip = FileRead(package.zip);
    ASSERT_FALSE(zip.empty()) << package.zip;
    EXPECT_EQ(FileRead(package.zip + ".sha256"), Sha256Hex(zip) + "  " + package.zipName + "\n");
}

}  // namespace
}  // namespace e2e
